#pragma once

#include <QStringList>

#include <cstdio>

// "modelrun faults MODEL [options]": every single fault (and with --pairs
// every double fault) of the model under every code, classified against the
// fault-free run. Writes the report to out and messages to err; returns the
// exit status of the runner.
int RunFaultsCommand(const QStringList &arguments, std::FILE *out, std::FILE *err);

// The usage text of the command.
QString FaultsUsageText();

// The options of the command, with the runner's scenario options it passes
// on, for the completion.
class OptionList;
const OptionList &FaultsCommandOptions();

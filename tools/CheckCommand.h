#pragma once

#include <QStringList>

#include <cstdio>

// modelrun check MODEL [--format text|json] [--timing FILE]: the model check
// on the command line. Findings go to out, one per line; usage errors to err.
// Returns 0 with no error found, 1 with at least one, 2 for a usage error.
int RunCheckCommand(const QStringList &arguments, std::FILE *out, std::FILE *err);

// Its options, for the completion.
class OptionList;
const OptionList &CheckCommandOptions();

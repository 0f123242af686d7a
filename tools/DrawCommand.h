#pragma once

#include <QStringList>

#include <cstdio>

// modelrun draw MODEL [--timing FILE] --svg FILE | --pdf FILE | --png FILE:
// the model drawn as relay-contact circuits, written with no display.
// Returns 0 when every file was written, 1 when the model or timing cannot
// be read or a file not written, 2 for a usage error. Needs a
// QGuiApplication (fonts).
int RunDrawCommand(const QStringList &arguments, std::FILE *out, std::FILE *err);

// Its options, for the completion.
class OptionList;
const OptionList &DrawCommandOptions();

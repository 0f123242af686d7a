#pragma once

#include "model/ModelState.h"

#include <QString>
#include <QStringList>

#include <optional>

class QMainWindow;

// What the program's command line asks for, Qt's own options aside.
struct ProgramArguments
{
    bool help = false;
    bool version = false;
    QString modelFile; // as given, with or without ".mod"
    QString error;     // Russian; empty when the line is understood
};

// Reads the arguments after the program name.
ProgramArguments ParseProgramArguments(const QStringList &arguments);

// The text of --help and of --version.
QString ProgramUsageText();
QString ProgramVersionText();

// Answers --help and --version on standard output before any window system
// is needed, so both work on a terminal without a display. Returns the exit
// code then, nothing when the program is to start.
std::optional<int> AnswerHelpOrVersion(int argc, char **argv);

// Makes the model file (with or without ".mod") the current model and shows
// its name in the caption of the main window. A file that cannot be read is
// reported and the current model stays as it was.
void OpenModelFile(const QString &file, ModelState &state, QMainWindow &mainWindow);

// Opens the model named on the command line, if any. Unknown options are
// reported on the standard error stream and otherwise ignored.
void OpenModelFromCommandLine(ModelState &state, QMainWindow &mainWindow);

#pragma once

#include <QString>

#include <cstdio>
#include <functional>

// Writes text to stream in UTF-8, as it is.
void WriteText(std::FILE *stream, const QString &text);
// Writes text and a line end to stream in UTF-8.
void WriteLine(std::FILE *stream, const QString &text);

// "modelrun COMMAND: message" and the line that points to
// "modelrun COMMAND --help", to err; command empty for the run itself. The
// whole help would push the one line that matters off the screen.
void WriteUsageError(std::FILE *err, const QString &command, const QString &message);

// A progress report for long runs: "\r<what>: done из total" on err while
// err is a terminal, ending the line at the end; nothing otherwise.
std::function<void(qint64 done, qint64 total)> ProgressOnTerminal(std::FILE *err, const QString &what);

// Flushes out; false, with a message on err, when the output could not be written.
bool FlushOutput(std::FILE *out, std::FILE *err);

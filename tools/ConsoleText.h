#pragma once

#include <QString>

#include <cstdio>

// Writes text to stream in UTF-8, as it is.
void WriteText(std::FILE *stream, const QString &text);
// Writes text and a line end to stream in UTF-8.
void WriteLine(std::FILE *stream, const QString &text);

// "modelrun COMMAND: message", a blank line and the usage text, to err.
void WriteUsageError(std::FILE *err, const QString &command, const QString &message, const QString &usage);

#pragma once

#include "CodeTransmitter.h"

#include <QByteArray>
#include <QString>

// The code-timing file ".whd": the twelve times of CodeTiming in their order,
// three lines of four numbers separated by commas, CR LF, period as decimal
// separator whatever the locale.
namespace CodeTimingFile {

// Reads the first twelve numbers of the file into timing. Commas, blanks and
// line ends all separate numbers; ".23" reads as 0.23. False, with timing
// untouched and a Russian message naming the file (and the line) in error,
// when the file cannot be opened, holds fewer than twelve numbers or text
// that is not a number.
bool read(const QString &path, CodeTiming &timing, QString &error);

// The whole file text: each time in its shortest exact single form.
QByteArray format(const CodeTiming &timing);

// Creates or replaces the file through a temporary file, so a failed write
// leaves the old file as it was. False with a Russian message in error; a
// time that is not a finite number is refused.
bool write(const QString &path, const CodeTiming &timing, QString &error);

} // namespace CodeTimingFile

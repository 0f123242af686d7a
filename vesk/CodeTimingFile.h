#pragma once

#include "platform/FileResult.h"
#include "vesk/CodeTransmitter.h"

#include <QByteArray>
#include <QString>

// The code-timing file ".whd": the twelve times of CodeTiming in their order,
// three lines of four numbers separated by commas, CR LF, period as decimal
// separator whatever the locale.
namespace CodeTimingFile {

// Reads the first twelve numbers of the file into timing. Commas, blanks and
// line ends all separate numbers; ".23" reads as 0.23. Fails with a Russian
// message naming the file (and the line) when the file cannot be opened,
// holds fewer than twelve numbers or text that is not a number.
FileResult<CodeTiming> read(const QString &path);

// The whole file text: each time in its shortest exact single form.
QByteArray format(const CodeTiming &timing);

// Creates or replaces the file through a temporary file, so a failed write
// leaves the old file as it was. Fails with a Russian message; a time that
// is not a finite number is refused.
FileResult<> write(const QString &path, const CodeTiming &timing);

} // namespace CodeTimingFile

#pragma once

#include "platform/FileResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The editor's files as text and back. In the text a line ends with "\n";
// on disk with CR LF, in the code page the document came from.
namespace EditorText {

// The code page a document is written back in.
enum class CodePage { Windows1251, Dos866, Utf8 };

// A Windows text file: UTF-8 when it is valid UTF-8 and not plain ASCII,
// otherwise Windows-1251.
QString decodeWindowsText(QByteArrayView bytes);
// The code page decodeWindowsText read the bytes in.
CodePage windowsTextCodePage(QByteArrayView bytes);

// A DOS text file opened with "Открыть Dos текст": code page 866, without the
// one CR LF that ends the file, if it has one. A file without a final line
// end keeps every character.
QString decodeDosText(QByteArrayView bytes);

// A report file: code page 866, every byte kept, so that writing the text
// back with CodePage::Dos866 gives the same bytes.
QString decodeReport(QByteArrayView bytes);

// The "866-2151" repair of a DOS file read as Windows text: every character
// goes back to its Windows-1251 byte, which is then read as code page 866.
QString convertFrom866(const QString &text);

// The bytes of a file holding text: every "\n" becomes CR LF, and the
// characters go to the code page (a character it lacks becomes '?').
QByteArray encode(const QString &text, CodePage codePage);

// A report keeps growing with every run written to it, so the editor takes
// files far larger than the ones a user writes by hand, but not without end.
inline constexpr qint64 MaxEditorFileBytes = 256 * 1024 * 1024;

// The whole file, or the Russian message to show when it cannot be read
// ("Ошибка ввода") or is larger than MaxEditorFileBytes.
FileResult<QByteArray> readFile(const QString &path);

// Replaces the file as a whole through a temporary file, so a failed write
// leaves the old file as it was. On failure, false and *reason says in
// Russian what went wrong.
bool writeFile(const QString &path, const QByteArray &bytes, QString *reason);

} // namespace EditorText

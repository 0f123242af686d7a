#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Conversions at the edges of the program: model and timing files are
// Windows-1251, reports and diagram rows are DOS code page 866. Every
// conversion maps one character to one byte and back, so lengths and column
// positions survive; a character a code page lacks becomes '?'.
namespace CodePage {

QString fromWindows1251(QByteArrayView bytes);
QByteArray toWindows1251(const QString &text);

QString fromOem(QByteArrayView bytes);
// The "ANSI to OEM" conversion: Unicode text to code page 866 bytes.
QByteArray toOem(const QString &text);

// Text files written by this program are Windows-1251, but a user may have
// written one in a Linux editor: a file that is valid UTF-8 and not plain
// ASCII is read as UTF-8, everything else as Windows-1251.
QString decodeTextFile(QByteArrayView bytes);
// Whether decodeTextFile reads the bytes as UTF-8.
bool isUtf8Text(QByteArrayView bytes);

// The first character of a text that Windows-1251 lacks: where it starts and
// the character itself (one code point, which may take two UTF-16 units).
struct MissingCharacter
{
    qsizetype position = 0;
    QString character;
};
std::optional<MissingCharacter> firstOutsideWindows1251(const QString &text);

} // namespace CodePage

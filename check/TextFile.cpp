#include "check/TextFile.h"

#include "platform/BoundedRead.h"
#include "platform/CodePage.h"

#include <QFile>

std::expected<QString, QString> ReadUserTextFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(QStringLiteral("Файл %1: не удаётся открыть.").arg(fileName));
    const FileResult<QByteArray> read = ReadAllBounded(file);
    if (!read)
        return std::unexpected(read.error());
    const QByteArray &bytes = *read;
    if (file.error() != QFileDevice::NoError)
        return std::unexpected(QStringLiteral("Файл %1: ошибка чтения.").arg(fileName));
    if (bytes.trimmed().isEmpty())
        return std::unexpected(QStringLiteral("Файл %1, строка 1, столбец 1: файл пуст.").arg(fileName));
    // Neither code page has a NUL in text, and UTF-16 has one in every Latin
    // character; its byte order marks are caught even for Cyrillic text.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") || bytes.contains('\0'))
        return std::unexpected(QStringLiteral("Файл %1, строка 1, столбец 1: файл в кодировке UTF-16; "
                                              "сохраните его в UTF-8 или Windows-1251.")
                                   .arg(fileName));
    QString text = CodePage::decodeTextFile(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

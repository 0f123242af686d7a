#include "platform/BoundedRead.h"

FileResult<QByteArray> ReadAllBounded(QFile &file, qint64 limit)
{
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit)
        return std::unexpected(QStringLiteral("Файл %1 слишком большой: больше %2 Мбайт.")
                                   .arg(file.fileName())
                                   .arg(limit / (1024 * 1024)));
    return bytes;
}

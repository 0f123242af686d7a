#include "platform/BoundedRead.h"

#include <algorithm>

FileResult<QByteArray> ReadAllBounded(QFile &file, qint64 limit)
{
    // Read in chunks rather than asking for limit + 1 bytes at once: Qt would
    // allocate all of them up front, megabytes for every small file.
    constexpr qint64 ChunkBytes = 64 * 1024;
    QByteArray bytes;
    if (!file.isSequential())
        bytes.reserve(qsizetype(std::clamp<qint64>(file.size() - file.pos(), 0, limit) + 1));
    while (bytes.size() <= limit) {
        const qint64 want = std::min(ChunkBytes, limit + 1 - qint64(bytes.size()));
        const qsizetype before = bytes.size();
        bytes.resize(before + qsizetype(want));
        const qint64 got = file.read(bytes.data() + before, want);
        bytes.resize(before + qsizetype(std::max<qint64>(got, 0)));
        if (got <= 0)
            break;
    }
    if (bytes.size() > limit)
        return std::unexpected(QStringLiteral("Файл %1 слишком большой: больше %2 Мбайт.")
                                   .arg(file.fileName())
                                   .arg(limit / (1024 * 1024)));
    return bytes;
}

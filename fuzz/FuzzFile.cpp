#include "fuzz/FuzzFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

QString WriteFuzzFile(const QString &fileName, const uint8_t *data, size_t size)
{
    // Memory-backed when the system has it: on a disk, emptying and writing a
    // file costs milliseconds, which would leave a few hundred runs a second.
    static const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir folder(base + QStringLiteral("/model-fuzz-XXXXXX"));
    const QString path = folder.filePath(fileName);
    QFile file(path);
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort(); // a broken harness must not pass for a clean run
    return path;
}

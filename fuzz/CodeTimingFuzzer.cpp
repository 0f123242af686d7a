// The code-timing reader on any bytes: a refusal comes with a message and
// leaves the times as they were; accepted finite times written back with
// format() read as the same times.

#include "CodeTimingFile.h"
#include "FuzzFile.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = WriteFuzzFile(QStringLiteral("c.whd"), data, size);
    CodeTiming timing;
    timing.TimpKV = -7;
    QString error;
    if (!CodeTimingFile::read(path, timing, error)) {
        if (error.isEmpty() || timing.TimpKV != -7)
            std::abort();
        return 0;
    }
    for (float value : timing.values()) {
        if (!std::isfinite(value))
            return 0;
    }
    const QByteArray text = CodeTimingFile::format(timing);
    const QString again = WriteFuzzFile(QStringLiteral("again.whd"), reinterpret_cast<const uint8_t *>(text.data()),
                                        size_t(text.size()));
    CodeTiming reread;
    if (!CodeTimingFile::read(again, reread, error) || !(reread == timing))
        std::abort();
    return 0;
}

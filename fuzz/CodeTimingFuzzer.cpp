// The code-timing reader on any bytes: a refusal comes with a message;
// accepted finite times written back with format() read as the same times.

#include "fuzz/FuzzFile.h"
#include "vesk/CodeTimingFile.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = WriteFuzzFile(QStringLiteral("c.whd"), data, size);
    const FileResult<CodeTiming> timing = CodeTimingFile::read(path);
    if (!timing) {
        if (timing.error().isEmpty())
            std::abort();
        return 0;
    }
    for (float value : timing->values()) {
        if (!std::isfinite(value))
            return 0;
    }
    const QByteArray text = CodeTimingFile::format(*timing);
    const QString again = WriteFuzzFile(QStringLiteral("again.whd"), reinterpret_cast<const uint8_t *>(text.data()),
                                        size_t(text.size()));
    const FileResult<CodeTiming> reread = CodeTimingFile::read(again);
    if (!reread || !(*reread == *timing))
        std::abort();
    return 0;
}

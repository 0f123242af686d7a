// The timing file reader on any bytes, for every element count the first byte
// picks: a refusal comes with a message.

#include "fuzz/FuzzFile.h"
#include "model/TimingFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int elemCount = data[0] % (MaxElements + 1);
    const QString path = WriteFuzzFile(QStringLiteral("t.tim"), data + 1, size - 1);
    const FileResult<TimingValues> values = ReadTimingFile(path, elemCount);
    if (!values && values.error().isEmpty())
        std::abort();
    return 0;
}

// The runner's command line: the input split at zero bytes into arguments,
// read as UTF-8 as modelrun reads them. A refused line comes with a message;
// an accepted one stays within the limits the run relies on.

#include "model/ModelState.h"
#include "tools/RunOptions.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QStringList arguments;
    for (const QByteArray &part : QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)).split('\0'))
        arguments.append(QString::fromUtf8(part));
    const std::expected<RunOptions, QString> options = ParseRunOptions(arguments);
    if (!options) {
        if (options.error().isEmpty())
            std::abort();
        return 0;
    }
    if (options->steps && (*options->steps < 0 || *options->steps > MaxRunSteps))
        std::abort();
    for (const RunOptions::KeyAt &key : options->keys) {
        if (key.step < 1 || key.step > MaxRunSteps || key.command.size() > 1)
            std::abort();
    }
    for (const RunOptions::FaultAt &fault : options->faults) {
        if (fault.element < 1 || fault.element > MaxElements || fault.kind > 2)
            std::abort();
    }
    return 0;
}

// The report decoder of the report view on any bytes. A report the program
// wrote ends its lines with CR LF only; for such bytes the text written back
// in code page 866 must be the same bytes, or saving an untouched report
// would change it.

#include "editor/EditorText.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const QString text = EditorText::decodeReport(bytes);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return 0; // a bare line feed comes back as CR LF
    }
    if (EditorText::encode(text, EditorText::CodePage::Dos866) != bytes)
        std::abort();
    return 0;
}

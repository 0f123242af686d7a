#include "check/Bench.h"

BenchError BenchErrorAt(const QString &file, const BenchPlace &place, const QString &what)
{
    return BenchError{QStringLiteral("Файл %1, строка %2, столбец %3: %4.").arg(file).arg(place.line).arg(place.column).arg(what)};
}

#include "vesk/TimeText.h"

#include <QLocale>

#include <charconv>
#include <cmath>

namespace TimeText {

QString shortest(float value)
{
    char buffer[32];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, r.ptr - buffer);
}

QString inLocale(float value, const QLocale &locale)
{
    // The double nearest to the shortest single digits prints as those
    // digits; the float widened to double would print all of its tail.
    const QByteArray digits = shortest(value).toLatin1();
    double widened = 0;
    std::from_chars(digits.constData(), digits.constData() + digits.size(), widened);
    if (!std::isfinite(widened))
        return QString::fromLatin1(digits);
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    // Positional for the everyday range, as people write times; an exponent
    // only for the extremes.
    const double magnitude = std::fabs(widened);
    const bool positional = magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e7);
    return plain.toString(widened, positional ? 'f' : 'g', QLocale::FloatingPointShortest);
}

std::optional<float> fromLocale(const QString &text, const QLocale &locale)
{
    bool ok = false;
    const float value = locale.toFloat(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace TimeText

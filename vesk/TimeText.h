#pragma once

#include <QString>

#include <optional>

class QLocale;

// Times as text. Files always use the period; the entry window uses the
// number format of the user's locale. Both show the shortest digits that
// read back as the same single, so 0.23 shows as 0.23, not 0.230000004.
namespace TimeText {

// "0.23", "1e-05": the shortest form that reads back exactly, period always.
QString shortest(float value);
// The same digits in the number format of locale ("0,23" in Russian), no
// group separators, positional unless the number is very small or large.
QString inLocale(float value, const QLocale &locale);
// A time typed in the number format of locale; nothing when the text is not
// a number or lies outside the single range.
std::optional<float> fromLocale(const QString &text, const QLocale &locale);

} // namespace TimeText

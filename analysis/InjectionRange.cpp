#include "analysis/InjectionRange.h"

#include "model/StepTime.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <optional>

namespace {

constexpr qint64 MaxStep = std::numeric_limits<int32_t>::max();

// A step number, or seconds that make a whole number of 0.01 s steps; at
// least that many steps.
std::optional<qint64> parseMoment(const QString &text, qint64 least = 1)
{
    static const QRegularExpression seconds(QStringLiteral("^([0-9]+(?:[.,][0-9]*)?)(с|s)$"));
    static const QRegularExpression steps(QStringLiteral("^[0-9]+$"));
    if (const QRegularExpressionMatch m = seconds.match(text); m.hasMatch()) {
        const double hundredths = m.captured(1).replace(QLatin1Char(','), QLatin1Char('.')).toDouble() * StepTime::StepsPerSecond;
        if (hundredths > double(MaxStep))
            return std::nullopt;
        const qint64 value = qRound64(hundredths);
        if (std::abs(hundredths - double(value)) > 1e-6 || value < least)
            return std::nullopt;
        return value;
    }
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!steps.match(text).hasMatch() || !ok || value < least || value > MaxStep)
        return std::nullopt;
    return value;
}

} // namespace

std::expected<InjectionRange, QString> ParseInjectionRange(const QString &text)
{
    const QString trimmed = text.trimmed();
    const qsizetype dots = trimmed.indexOf(QLatin1String(".."));
    const std::optional<qint64> first = parseMoment(dots < 0 ? trimmed : trimmed.left(dots));
    const std::optional<qint64> last = dots < 0 ? first : parseMoment(trimmed.mid(dots + 2));
    if (!first || !last)
        return std::unexpected(
            QStringLiteral("--at: «%1» — нужно целое число от 1 до %2, диапазон шагов ШАГ..ШАГ или секунд "
                           "с «с» (например 1..200 или 0.5с..2с; шаг 0.01 с)").arg(text).arg(MaxStep));
    if (*first > *last)
        return std::unexpected(QStringLiteral("--at: «%1» — начало диапазона (шаг %2) позже конца (шаг %3)")
                                   .arg(text).arg(*first).arg(*last));
    return InjectionRange{*first, *last};
}

std::expected<qint64, QString> ParseDuration(const QString &option, const QString &text)
{
    if (const std::optional<qint64> steps = parseMoment(text.trimmed(), 0))
        return *steps;
    return std::unexpected(QStringLiteral("%1: «%2» — нужно время: число шагов или секунды с «с» (например 200 "
                                          "или 2с; шаг 0.01 с)").arg(option, text));
}

#include "check/TimingCheck.h"

#include "model/ModelState.h"
#include "model/StepTime.h"
#include "model/TimingFile.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double StepSeconds = 1.0 / StepTime::StepsPerSecond;

QString valueName(int index, int elementCount)
{
    if (index < elementCount)
        return QStringLiteral("время притяжения элемента %1").arg(index + 1);
    if (index < 2 * elementCount)
        return QStringLiteral("время отпадания элемента %1").arg(index - elementCount + 1);
    return QStringLiteral("время работы схемы");
}

} // namespace

std::optional<double> CheckTiming(const QString &timingFile, const QString &text, int elementCount,
                                  std::vector<Finding> &findings)
{
    const auto report = [&](const QString &kind, Severity severity, int line, int column, const QString &message,
                            const QString &operand = QString()) {
        findings.push_back(Finding{kind, severity, timingFile, line, column, message, operand});
    };
    const QList<TimingValueText> values = TimingValueTexts(text);
    // The reader keeps taking "," as a separator between numbers, as stored
    // files may rely on; a comma with digits on both sides is almost surely
    // meant as a decimal comma.
    for (qsizetype k = 0; k + 1 < values.size(); ++k) {
        const TimingValueText &before = values[k];
        const TimingValueText &after = values[k + 1];
        const int comma = before.column + int(before.text.size());
        if (after.line != before.line || after.column != comma + 1 || before.text.isEmpty() || after.text.isEmpty()
            || !before.text.back().isDigit() || !after.text.front().isDigit())
            continue;
        const QString written = before.text + QLatin1Char(',') + after.text;
        report(QStringLiteral("timing-decimal-comma"), Severity::Error, before.line, comma,
               QStringLiteral("десятичная запятая: «%1» читается как два числа %2 и %3; в файле времён дробную часть "
                              "отделяет точка")
                   .arg(written, before.text, after.text),
               written);
        ++k; // "1,5,7": the 5 belongs to the first finding
    }
    const int needed = 2 * std::clamp(elementCount, 0, MaxElements) + 1;
    bool readable = true;
    double longest = StepSeconds;
    for (int k = 0; k < std::min<int>(needed, int(values.size())); ++k) {
        const TimingValueText &value = values[k];
        const bool runLength = k == needed - 1;
        if (!value.number || (runLength && *value.number < 0)) {
            report(QStringLiteral("timing-not-number"), Severity::Error, value.line, value.column,
                   QStringLiteral("«%1» не годится: %2 — неотрицательное число с точкой")
                       .arg(value.text, valueName(k, elementCount)),
                   value.text);
            readable = false;
        } else if (!runLength && float(*value.number) < float(StepSeconds)) {
            report(QStringLiteral("timing-under-step"), Severity::Warning, value.line, value.column,
                   QStringLiteral("%1 %2 с меньше шага 0.01 с: задержка всё равно займёт один шаг")
                       .arg(valueName(k, elementCount), value.text),
                   value.text);
        } else if (!runLength) {
            longest = std::max(longest, *value.number);
        }
    }
    if (values.size() < needed) {
        const int line = values.isEmpty() ? 1 : values.last().line;
        report(QStringLiteral("timing-missing"), Severity::Error, line, 0,
               QStringLiteral("файл кончается, нет значения: %1").arg(valueName(int(values.size()), elementCount)));
        return std::nullopt;
    }
    const TimingValueText &runLength = values[needed - 1];
    if (runLength.number && std::nearbyint(*runLength.number) == 0)
        report(QStringLiteral("timing-zero-run"), Severity::Warning, runLength.line, runLength.column,
               QStringLiteral("время работы схемы 0: прогон из этого файла не сделает ни одного шага"), runLength.text);
    if (values.size() > needed)
        report(QStringLiteral("timing-extra-values"), Severity::Warning, values[needed].line, values[needed].column,
               QStringLiteral("лишние значения после времени работы схемы: файл, похоже, от модели с другим "
                              "числом элементов, и его значения сдвинуты"),
               values[needed].text);
    if (!readable)
        return std::nullopt;
    return longest;
}

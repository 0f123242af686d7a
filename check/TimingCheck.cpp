#include "check/TimingCheck.h"

#include "model/ModelState.h"
#include "model/TimingFile.h"

#include <algorithm>

namespace {

constexpr double StepSeconds = 0.01;

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
    if (values.size() > needed)
        report(QStringLiteral("timing-extra-values"), Severity::Warning, values[needed].line, values[needed].column,
               QStringLiteral("лишние значения после времени работы схемы: файл, похоже, от модели с другим "
                              "числом элементов, и его значения сдвинуты"),
               values[needed].text);
    if (!readable)
        return std::nullopt;
    return longest;
}

#include "analysis/SweepAxis.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

// A number with its unit: "85", "85%", "0,3s", "0,3с".
struct Amount
{
    double number = 0;
    QChar unit; // '%', 's' (seconds, whichever letter was written), or none
};

std::optional<Amount> parseAmount(QString text)
{
    Amount amount;
    text = text.trimmed();
    if (text.endsWith(QLatin1Char('%'))) {
        amount.unit = QLatin1Char('%');
        text.chop(1);
    } else if (text.endsWith(QLatin1Char('s')) || text.endsWith(QChar(u'с'))) {
        // The benches write seconds with either letter, and so may the command line.
        amount.unit = QLatin1Char('s');
        text.chop(1);
    }
    bool ok = false;
    amount.number = text.trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(amount.number))
        return std::nullopt;
    return amount;
}

const QString CodeNames[] = {QString(), QStringLiteral("КЖ"), QStringLiteral("Ж"), QStringLiteral("З")};

// The pulse and interval times of code N within CodeTiming::values().
std::pair<int, int> codeValues(int code)
{
    switch (code) {
    case 1:
        return {0, 2};
    case 2:
        return {2, 6};
    case 3:
        return {6, 12};
    default:
        return {0, 12};
    }
}

float scaled(float base, const SweepAxis &axis, double value)
{
    return axis.seconds ? float(value) : float(double(base) * value / 100.0);
}

} // namespace

QString SweepAxis::title() const
{
    QString subject;
    if (quantity == Quantity::CodeTimes)
        subject = code == 0 ? QStringLiteral("Времена импульсов и интервалов кодов")
                            : QStringLiteral("Времена импульсов и интервалов кода %1").arg(CodeNames[code]);
    else
        subject = (quantity == Quantity::Pickup ? QStringLiteral("Время притяжения ") : QStringLiteral("Время отпадания "))
                  + (element == QLatin1String("*") ? QStringLiteral("всех элементов") : element);
    return subject + (seconds ? QStringLiteral(", с") : QStringLiteral(", %"));
}

QString SweepAxis::column() const { return what + (seconds ? QStringLiteral(", с") : QStringLiteral(", %")); }

QString SweepAxis::format(double value) const
{
    return QString::number(value, 'g', 6) + (seconds ? QStringLiteral(" с") : QStringLiteral(" %"));
}

std::expected<SweepAxis, QString> ParseSweepAxis(const QString &text)
{
    SweepAxis axis;
    axis.text = text;
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    axis.what = text.left(eq).trimmed();
    const auto bad = [&](const QString &why) {
        return std::unexpected(QStringLiteral("--vary «%1»: %2").arg(text, why));
    };
    static const QRegularExpression codeTimes(QStringLiteral("^code([123]?)-times$"));
    static const QRegularExpression relayTime(QStringLiteral("^(pickup|release):(.+)$"));
    if (const QRegularExpressionMatch m = codeTimes.match(axis.what); eq > 0 && m.hasMatch()) {
        axis.code = m.captured(1).toInt();
    } else if (const QRegularExpressionMatch r = relayTime.match(axis.what); eq > 0 && r.hasMatch()) {
        axis.quantity = r.captured(1) == QLatin1String("pickup") ? SweepAxis::Quantity::Pickup
                                                                 : SweepAxis::Quantity::Release;
        axis.element = r.captured(2).trimmed();
    } else {
        return bad(QStringLiteral("нужно code-times, code1-times … code3-times, pickup:ЭЛЕМЕНТ или release:ЭЛЕМЕНТ "
                                  "(* — все элементы), затем =ОТ..ДО/ШАГ"));
    }

    const QString range = text.mid(eq + 1);
    const qsizetype dots = range.indexOf(QLatin1String(".."));
    const qsizetype slash = range.lastIndexOf(QLatin1Char('/'));
    if (dots < 0 || slash < dots)
        return bad(QStringLiteral("диапазон пишется ОТ..ДО/ШАГ, например 80..120/5"));
    const std::optional<Amount> from = parseAmount(range.left(dots));
    const std::optional<Amount> to = parseAmount(range.mid(dots + 2, slash - dots - 2));
    const std::optional<Amount> step = parseAmount(range.mid(slash + 1));
    if (!from || !to || !step)
        return bad(QStringLiteral("ОТ, ДО и ШАГ должны быть числами"));
    QChar unit;
    for (const Amount &amount : {*from, *to, *step}) {
        if (!amount.unit.isNull() && !unit.isNull() && amount.unit != unit)
            return bad(QStringLiteral("единицы «%» и «с» смешаны"));
        if (!amount.unit.isNull())
            unit = amount.unit;
    }
    axis.seconds = unit == QLatin1Char('s');
    if (axis.seconds && axis.quantity == SweepAxis::Quantity::CodeTimes)
        return bad(QStringLiteral("времена кодов только масштабируются, в процентах"));
    axis.from = from->number;
    axis.to = to->number;
    axis.step = step->number;
    if (axis.step <= 0)
        return bad(QStringLiteral("ШАГ должен быть больше 0"));
    if (axis.from > axis.to)
        return bad(QStringLiteral("ОТ больше ДО"));
    if (axis.from < 0 || (axis.quantity == SweepAxis::Quantity::CodeTimes && axis.from <= 0))
        return bad(axis.quantity == SweepAxis::Quantity::CodeTimes ? QStringLiteral("времена кодов должны быть больше 0")
                                                                   : QStringLiteral("время не может быть меньше 0"));
    // A step that lands on TO up to rounding still counts TO in.
    const double intervals = std::floor((axis.to - axis.from) / axis.step + 1e-9);
    if (intervals + 1 > MaxSweepPoints)
        return bad(QStringLiteral("больше %1 точек").arg(MaxSweepPoints));
    axis.count = int(intervals) + 1;
    return axis;
}

std::expected<void, QString> BindSweepAxis(SweepAxis &axis, const LoadedBench &bench)
{
    if (axis.quantity == SweepAxis::Quantity::CodeTimes) {
        axis.nominal = 100;
        return {};
    }
    const ModelDefinition &model = bench.model->definition;
    if (axis.element != QLatin1String("*")) {
        const auto found = std::find(model.ElemName.begin() + 1, model.ElemName.begin() + 1 + model.ElemCount,
                                     axis.element);
        if (found == model.ElemName.begin() + 1 + model.ElemCount) {
            QStringList names(model.ElemName.begin() + 1, model.ElemName.begin() + 1 + model.ElemCount);
            return std::unexpected(QStringLiteral("--vary «%1»: элемента «%2» нет в модели (есть: %3)")
                                       .arg(axis.text, axis.element, names.join(QStringLiteral(", "))));
        }
        axis.elementIndex = int(found - model.ElemName.begin());
    }
    if (!axis.seconds) {
        axis.nominal = 100;
        return {};
    }
    RunScenario first = bench.runs.value(0);
    FillSweptTiming(first, model.ElemCount);
    const auto &times = axis.quantity == SweepAxis::Quantity::Pickup ? first.timing->Tpr : first.timing->Totp;
    const int element = axis.elementIndex;
    // The time as the timing file writes it (0.3, not 0.300000012), so that
    // the sweep's own values compare with it.
    const auto written = [](float time) { return QString::number(time, 'g', 7).toDouble(); };
    if (element != 0)
        axis.nominal = written(times[size_t(element)]);
    else if (std::all_of(times.begin() + 1, times.begin() + 1 + model.ElemCount,
                         [&](float time) { return time == times[1]; }))
        axis.nominal = written(times[1]);
    return {};
}

void FillSweptTiming(RunScenario &run, int elemCount)
{
    if (!run.timing)
        run.timing = DefaultTiming(elemCount);
    if (!run.codeTiming)
        run.codeTiming = run.kpt == 7 ? CodeTiming::Kpt7() : CodeTiming::Kpt5();
}

void ApplySweepValue(const SweepAxis &axis, double value, int elemCount, RunScenario &run)
{
    if (axis.quantity == SweepAxis::Quantity::CodeTimes) {
        std::array<float, 12> values = run.codeTiming->values();
        const auto [first, end] = codeValues(axis.code);
        for (int v = first; v < end; ++v)
            values[size_t(v)] = scaled(values[size_t(v)], axis, value);
        run.codeTiming = CodeTiming::fromValues(values);
        return;
    }
    auto &times = axis.quantity == SweepAxis::Quantity::Pickup ? run.timing->Tpr : run.timing->Totp;
    for (int i = 1; i <= elemCount; ++i)
        if (axis.elementIndex == 0 || axis.elementIndex == i)
            times[size_t(i)] = scaled(times[size_t(i)], axis, value);
}

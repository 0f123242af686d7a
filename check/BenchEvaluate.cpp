#include "check/BenchEvaluate.h"

namespace {

int bitOf(const SignalNames &names, const QString &name) { return *names.bit(name); }

bool holds(const SignalExpression &e, const SignalTrace &trace, const SignalNames &names, qint64 step)
{
    switch (e.kind) {
    case SignalExpression::Kind::Signal:
        return trace.value(step, bitOf(names, e.name)) != 0;
    case SignalExpression::Kind::Not:
        return !holds(*e.left, trace, names, step);
    case SignalExpression::Kind::And:
        return holds(*e.left, trace, names, step) && holds(*e.right, trace, names, step);
    case SignalExpression::Kind::Or:
        break;
    }
    return holds(*e.left, trace, names, step) || holds(*e.right, trace, names, step);
}

// "ЛКЖ = 1, ЛЖЗ = 0": the signals of an expression at a step.
void describe(const SignalExpression &e, const SignalTrace &trace, const SignalNames &names, qint64 step,
              QStringList *parts)
{
    if (e.kind == SignalExpression::Kind::Signal) {
        const QString part = QStringLiteral("%1 = %2").arg(e.name).arg(trace.value(step, bitOf(names, e.name)));
        if (!parts->contains(part))
            parts->append(part);
        return;
    }
    describe(*e.left, trace, names, step, parts);
    if (e.right)
        describe(*e.right, trace, names, step, parts);
}

QString seenAt(const SignalExpression &e, const SignalTrace &trace, const SignalNames &names, qint64 step)
{
    QStringList parts;
    describe(e, trace, names, step, &parts);
    return QStringLiteral("шаг %1: %2").arg(step).arg(parts.join(QStringLiteral(", ")));
}

} // namespace

SignalNames::SignalNames(const ModelDefinition &definition)
{
    m_bits.insert(QStringLiteral("p"), 0);
    m_all.append(QStringLiteral("p"));
    for (int i = definition.ElemCount; i >= 1; --i) // the first of equal names wins
        m_bits.insert(definition.ElemName[i], i);
    for (int i = 1; i <= definition.ElemCount; ++i)
        m_all.append(definition.ElemName[i]);
    for (int j = definition.OutCount; j >= 1; --j) {
        const QString &name = definition.OutName[j];
        if (m_bits.contains(name) && m_bits.value(name) <= MaxElements)
            m_ambiguous.append(name);
        else
            m_bits.insert(name, MaxElements + j);
    }
    for (int j = 1; j <= definition.OutCount; ++j)
        m_all.append(definition.OutName[j]);
}

std::expected<int, QString> SignalNames::bit(const QString &name) const
{
    if (m_ambiguous.contains(name))
        return std::unexpected(QStringLiteral("«%1» — имя и элемента, и выхода модели").arg(name));
    if (const auto found = m_bits.constFind(name); found != m_bits.cend())
        return *found;
    return std::unexpected(QStringLiteral("сигнала «%1» нет в модели (есть: %2)").arg(name, m_all.join(QStringLiteral(", "))));
}

std::expected<void, BenchError> CheckSignalNames(const Expectation &expectation, const SignalNames &names,
                                                 const QString &benchFile)
{
    std::expected<void, BenchError> result;
    const auto check = [&](const auto &self, const SignalExpression &e) -> void {
        if (!result)
            return;
        if (e.kind == SignalExpression::Kind::Signal) {
            if (const std::expected<int, QString> bit = names.bit(e.name); !bit)
                result = std::unexpected(BenchErrorAt(benchFile, e.place, bit.error()));
            return;
        }
        self(self, *e.left);
        if (e.right)
            self(self, *e.right);
    };
    check(check, expectation.signal);
    return result;
}

std::expected<ExpectationResult, BenchError> Evaluate(const Expectation &expectation, const SignalTrace &trace,
                                                      const SignalNames &names, const QString &benchFile)
{
    const qint64 end = trace.lastStep();
    const qint64 first = expectation.range.first;
    const qint64 last = expectation.range.last.value_or(end);
    if (last > end || first > end)
        return std::unexpected(BenchErrorAt(benchFile, expectation.place,
                                       QStringLiteral("шаг %1 за концом прогона (шагов: %2)").arg(std::max(first, last)).arg(end)));

    ExpectationResult result;
    result.expectation = expectation;
    result.passed = true;
    const SignalExpression &signal = expectation.signal;
    const auto failAt = [&](qint64 step, const QString &detail) {
        result.passed = false;
        result.step = step;
        result.detail = detail;
    };
    switch (expectation.kind) {
    case Expectation::Kind::Value:
        for (qint64 k = first; k <= last && result.passed; ++k)
            if (trace.value(k, bitOf(names, signal.name)) != expectation.value)
                failAt(k, seenAt(signal, trace, names, k));
        break;
    case Expectation::Kind::Never:
    case Expectation::Kind::Always: {
        const bool wanted = expectation.kind == Expectation::Kind::Always;
        for (qint64 k = first; k <= last && result.passed; ++k)
            if (holds(signal, trace, names, k) != wanted)
                failAt(k, seenAt(signal, trace, names, k));
        break;
    }
    case Expectation::Kind::Rise:
    case Expectation::Kind::Fall: {
        const int bit = bitOf(names, signal.name);
        const int after = expectation.kind == Expectation::Kind::Rise ? 1 : 0;
        qint64 change = first;
        while (change <= end && !(trace.value(change - 1, bit) != after && trace.value(change, bit) == after))
            ++change;
        const QString verb = after ? QStringLiteral("поднимается") : QStringLiteral("падает");
        if (change > end)
            failAt(last, QStringLiteral("не %1 до конца прогона; %2").arg(verb, seenAt(signal, trace, names, last)));
        else if (change > last)
            failAt(change, QStringLiteral("%1 только на шаге %2").arg(verb).arg(change));
        else {
            result.step = change;
            result.detail = QStringLiteral("%1 на шаге %2").arg(verb).arg(change);
        }
        break;
    }
    case Expectation::Kind::Changes: {
        const int bit = bitOf(names, signal.name);
        qint64 count = 0;
        for (qint64 k = first; k <= last && result.passed; ++k)
            if (trace.value(k - 1, bit) != trace.value(k, bit) && ++count > expectation.count)
                failAt(k, QStringLiteral("изменение %1 на шаге %2").arg(count).arg(k));
        if (result.passed && count != expectation.count)
            failAt(last, QStringLiteral("изменений %1 до шага %2").arg(count).arg(last));
        break;
    }
    }
    return result;
}

#include "proof/ProofReport.h"

#include "model/ContactFault.h"
#include "proof/ProofBench.h"

#include <algorithm>

namespace {

QString seconds(qint64 steps) { return QString::number(double(steps) / 100, 'f', 2); }

QString codeName(int code)
{
    static const QString names[4] = {QStringLiteral("0 (нет кода)"), QStringLiteral("1 (КЖ)"), QStringLiteral("2 (Ж)"),
                                     QStringLiteral("3 (З)")};
    return names[std::clamp(code, 0, 3)];
}

QString faultText(const ProofQuestion &question, const RunScenario::FaultAt &fault)
{
    const ModelDefinition &definition = question.model->definition;
    if (fault.contact) {
        const Contact contact = ModelContacts(definition)[size_t(fault.contact - 1)];
        return QStringLiteral("%1 %2").arg(ContactName(definition, contact), ContactFaultText(fault.kind));
    }
    return QStringLiteral("%1 элемента %2")
        .arg(fault.kind == 1 ? QStringLiteral("обрыв питания") : QStringLiteral("подпитка"), definition.ElemName[fault.element]);
}

QStringList assumptions(const ProofQuestion &q)
{
    QStringList lines;
    if (q.input == ProofQuestion::Input::Free) {
        lines << QStringLiteral("вход p — 0 или 1 на каждом шаге");
    } else {
        QStringList codes;
        for (int16_t code : q.codes)
            codes << QString::number(code);
        const QString transmitter = q.whdFile.isEmpty() ? QStringLiteral("КПТШ-%1").arg(q.kpt) : q.whdFile;
        lines << QStringLiteral("коды %1 (%2), смена %3")
                     .arg(codes.join(QStringLiteral(", ")), transmitter,
                          q.minChangeSteps > 0 ? QStringLiteral("не чаще %1 с").arg(seconds(q.minChangeSteps))
                                               : QStringLiteral("перед любым шагом"));
    }
    static const QString faults[3] = {QStringLiteral("нет"), QStringLiteral("любая одна"), QStringLiteral("любые две")};
    lines << QStringLiteral("неисправности: %1%2")
                 .arg(faults[int(q.faults)],
                      q.faults == ProofQuestion::Faults::None ? QString()
                      : q.contacts ? QStringLiteral(" (обмотки и контакты), перед любым шагом")
                                   : QStringLiteral(" (обмотки), перед любым шагом"));
    lines << (q.bands ? QStringLiteral("времена реле: любые в допуске, постоянные в прогоне")
                      : QStringLiteral("времена реле: номинальные"));
    return lines;
}

QStringList properties(const ProofQuestion &q)
{
    QStringList lines;
    for (const ProofQuestion::Invariant &invariant : q.invariants)
        lines << QStringLiteral("%1 (строка %2)").arg(invariant.text).arg(invariant.place.line);
    if (q.latencySteps)
        lines << LatencyProperty(q);
    if (q.responseSteps)
        lines << ResponseProperty(q);
    return lines;
}

// The run of the counterexample as the steps where something changes.
QStringList changes(const ProofQuestion &q, const Counterexample &c, const SignalTrace &trace)
{
    const ModelDefinition &definition = q.model->definition;
    QStringList lines;
    for (qint64 t = 1; t <= trace.lastStep(); ++t) {
        QStringList what;
        const bool codes = q.input == ProofQuestion::Input::Codes;
        if (codes && (t == 1 || c.inputs[size_t(t - 1)] != c.inputs[size_t(t - 2)]))
            what << QStringLiteral("код %1").arg(codeName(c.inputs[size_t(t - 1)]));
        for (const RunScenario::FaultAt &fault : c.faults)
            if (fault.step == t)
                what << faultText(q, fault);
        const uint32_t before = trace.values[size_t(t - 1)], now = trace.values[size_t(t)];
        for (int bit = codes ? 1 : 0; bit <= MaxElements + definition.OutCount; ++bit) {
            const bool isOutput = bit > MaxElements;
            if (!isOutput && bit > definition.ElemCount)
                continue;
            if (((before ^ now) >> bit) & 1u) {
                const QString name = bit == 0 ? QStringLiteral("p")
                                     : isOutput ? definition.OutName[bit - MaxElements]
                                                : definition.ElemName[bit];
                what << name + (((now >> bit) & 1u) ? QStringLiteral("↑") : QStringLiteral("↓"));
            }
        }
        // The broken step, where often nothing changes: what is lit then.
        if (t == trace.lastStep()) {
            QStringList lit;
            for (int j = 1; j <= definition.OutCount; ++j)
                if ((now >> (MaxElements + j)) & 1u)
                    lit << definition.OutName[j];
            what << QStringLiteral("нарушено (выходы: %1)")
                        .arg(lit.isEmpty() ? QStringLiteral("все выключены") : lit.join(QStringLiteral(", ")));
        }
        if (!what.isEmpty())
            lines << QStringLiteral("  шаг %1 (%2 с): %3").arg(t, 6).arg(seconds(t), 7).arg(what.join(QStringLiteral(", ")));
    }
    return lines;
}

// The relay times a band gave the counterexample, where they differ from
// the nominal ones.
QStringList chosenTimes(const ProofQuestion &q, const Counterexample &c)
{
    const ModelDefinition &definition = q.model->definition;
    QStringList lines;
    for (int i = 1; i <= definition.ElemCount; ++i)
        for (int side = 0; side < 2; ++side) {
            const float chosen = (side == 0 ? c.timing.Tpr : c.timing.Totp)[size_t(i)];
            const float nominal = (side == 0 ? q.timing.Tpr : q.timing.Totp)[size_t(i)];
            if (chosen != nominal)
                lines << QStringLiteral("  время %1 %2: %3 с (номинальное %4 с)")
                             .arg(side == 0 ? QStringLiteral("срабатывания") : QStringLiteral("отпускания"),
                                  definition.ElemName[i])
                             .arg(double(chosen), 0, 'f', 2)
                             .arg(double(nominal), 0, 'f', 2);
        }
    return lines;
}

} // namespace

QStringList ProofReportLines(const ProofQuestion &q, const ProofAnswer &a, const SignalTrace *trace)
{
    QStringList out;
    const bool abc = a.engine == ProofAnswer::Engine::Abc;
    const QString measured =
        abc ? QStringLiteral("ABC, глубина %1 шагов (%2 с), %3 с").arg(a.depth).arg(seconds(a.depth)).arg(a.seconds, 0, 'f', 2)
            : QStringLiteral("состояний %1, глубина %2 шагов (%3 с), %4 с, %5 байт на состояние")
                  .arg(a.states).arg(a.depth).arg(seconds(a.depth))
                  .arg(a.seconds, 0, 'f', 2).arg(a.bytesPerState);
    switch (a.verdict) {
    case ProofAnswer::Verdict::Proved:
        out << QStringLiteral("Доказано: %1").arg(q.benchFile);
        out << (abc ? QStringLiteral("ABC (pdr) нашёл индуктивный инвариант: ни одно достижимое состояние не нарушает "
                                     "свойств (%1).")
                    : QStringLiteral("Пройдены все достижимые состояния: %1."))
                   .arg(measured);
        if (a.anyInput)
            out << QStringLiteral("Свойства выполнены при любом входе p на каждом шаге, а значит при любой "
                                          "последовательности кодов.");
        break;
    case ProofAnswer::Verdict::Unknown:
        out << QStringLiteral("Не доказано: %1").arg(q.benchFile);
        out << QStringLiteral("Поиск остановлен (%1): %2. Нарушений до этой глубины нет, но это не доказательство.")
                           .arg(a.stoppedBy, measured);
        break;
    case ProofAnswer::Verdict::Refuted: {
        const Counterexample &c = *a.counterexample;
        out << QStringLiteral("Опровергнуто: %1").arg(q.benchFile);
        out << BreachText(c) + QLatin1Char('.');
        out << QStringLiteral("Кратчайший контрпример (%1):").arg(measured);
        for (const QString &line : chosenTimes(q, c))
            out << line;
        for (const QString &line : changes(q, c, *trace))
            out << line;
        break;
    }
    }
    out << QStringLiteral("Предположения: %1.").arg(assumptions(q).join(QStringLiteral("; ")));
    out << QStringLiteral("Свойства: %1.").arg(properties(q).join(QStringLiteral("; ")));
    return out;
}

QString BreachText(const Counterexample &c)
{
    return QStringLiteral("Нарушено «%1» на шаге %2 (%3 с)%4")
        .arg(c.property).arg(c.steps()).arg(seconds(c.steps()))
        .arg(c.shown >= 0 ? QStringLiteral(": показан уровень %1 при допустимом %2").arg(c.shown).arg(c.warranted)
                          : QString());
}

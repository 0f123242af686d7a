#include "proof/CounterexampleFile.h"

#include "model/ContactFault.h"
#include "proof/ProofBench.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString FaultLine(const ModelDefinition &definition, const std::vector<Contact> &contacts,
                  const RunScenario::FaultAt &fault)
{
    if (fault.contact) {
        const QString address = ContactAddress(definition, contacts[size_t(fault.contact - 1)]);
        return QStringLiteral("неисправность %1 %2 %3")
            .arg(fault.step)
            .arg(address, fault.kind == ContactWelded ? QStringLiteral("не-размыкается") : QStringLiteral("не-замыкается"));
    }
    return QStringLiteral("неисправность %1 %2 %3")
        .arg(fault.step)
        .arg(definition.ElemName[fault.element], fault.kind == 1 ? QStringLiteral("обрыв") : QStringLiteral("подпитка"));
}

// The outputs whose level is above (or, without above, equal to) level,
// joined by «или».
QString OutputsOfLevel(const ProofQuestion &question, int level, bool above)
{
    const ModelDefinition &definition = question.model->definition;
    QStringList names;
    for (int j = 1; j <= definition.OutCount; ++j) {
        const int of = question.levels.of[size_t(j)];
        if (of != OutputLevels::NoLevel && (above ? of > level : of == level))
            names << definition.OutName[j];
    }
    return names.join(QStringLiteral(" или "));
}

// What the last step must show for the property to hold there.
QString BrokenExpectation(const ProofQuestion &question, const Counterexample &counterexample)
{
    const qint64 step = counterexample.steps();
    if (counterexample.shown < 0) {
        // The invariant as written, at the last step only.
        for (const ProofQuestion::Invariant &invariant : question.invariants)
            if (invariant.text == counterexample.property && invariant.place.line == counterexample.place.line)
                return QStringLiteral("ожидать %1 на %2").arg(invariant.text).arg(step);
    }
    if (counterexample.shown > counterexample.warranted)
        return QStringLiteral("ожидать никогда %1 на %2")
            .arg(OutputsOfLevel(question, counterexample.warranted, true))
            .arg(step);
    return QStringLiteral("ожидать всегда %1 на %2").arg(OutputsOfLevel(question, counterexample.warranted, false)).arg(step);
}

// Whether a band gave the run relay times other than the bench's.
bool TimesOfTheirOwn(const ProofQuestion &question, const Counterexample &counterexample)
{
    return counterexample.timing.Tpr != question.timing.Tpr || counterexample.timing.Totp != question.timing.Totp;
}

// The timing file written beside a counterexample's bench.
QString TimingFileOf(const QString &benchFile)
{
    const QFileInfo info(benchFile);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".tim"));
}

// Tpr(1..n), Totp(1..n) and the number of steps, a value a line.
QByteArray TimingText(const ProofQuestion &question, const Counterexample &counterexample)
{
    QStringList values;
    const int n = question.model->definition.ElemCount;
    for (const auto *times : {&counterexample.timing.Tpr, &counterexample.timing.Totp})
        for (int i = 1; i <= n; ++i)
            values << QString::number(double((*times)[size_t(i)]), 'g', 6);
    values << QString::number(counterexample.steps());
    return (values.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

std::expected<void, QString> WriteWhole(const QString &fileName, const QByteArray &data)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return std::unexpected(QStringLiteral("Не удалось записать файл «%1»: %2").arg(fileName, file.errorString()));
    return {};
}

} // namespace

QString CounterexampleBenchText(const ProofQuestion &question, const Counterexample &counterexample,
                                const QString &benchFile)
{
    const QDir folder = QFileInfo(benchFile).absoluteDir();
    const auto relative = [&folder](const QString &path) { return folder.relativeFilePath(QFileInfo(path).absoluteFilePath()); };
    const ModelDefinition &definition = question.model->definition;
    const RunScenario run = CounterexampleScenario(question, counterexample);
    QStringList lines;
    lines << QStringLiteral("# Контрпример к стенду %1: нарушено «%2» на шаге %3.")
                 .arg(QFileInfo(question.benchFile).fileName(), counterexample.property)
                 .arg(counterexample.steps());
    if (counterexample.shown >= 0)
        lines << QStringLiteral("# Показан уровень %1 при допустимом %2.").arg(counterexample.shown).arg(counterexample.warranted);
    lines << QStringLiteral("модель %1").arg(relative(question.model->path + QStringLiteral(".mod")));
    if (TimesOfTheirOwn(question, counterexample))
        lines << QStringLiteral("времена %1").arg(relative(TimingFileOf(benchFile)));
    else if (!question.timingFile.isEmpty())
        lines << QStringLiteral("времена %1").arg(relative(question.timingFile));
    if (!question.whdFile.isEmpty())
        lines << QStringLiteral("whd %1").arg(relative(question.whdFile));
    else
        lines << QStringLiteral("кптш %1").arg(run.kpt);
    lines << QString() << QStringLiteral("сценарий Контрпример") << QStringLiteral("код %1").arg(run.code);
    for (const RunScenario::KeyAt &key : run.keys)
        lines << QStringLiteral("клавиша %1 %2").arg(key.step).arg(key.command);
    const std::vector<Contact> contacts = ModelContacts(definition);
    for (const RunScenario::FaultAt &fault : run.faults)
        lines << FaultLine(definition, contacts, fault);
    lines << QStringLiteral("шагов %1").arg(counterexample.steps()) << BrokenExpectation(question, counterexample);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

std::expected<void, QString> WriteCounterexampleBench(const ProofQuestion &question,
                                                      const Counterexample &counterexample, const QString &benchFile)
{
    if (TimesOfTheirOwn(question, counterexample))
        if (const auto written = WriteWhole(TimingFileOf(benchFile), TimingText(question, counterexample)); !written)
            return written;
    return WriteWhole(benchFile, CounterexampleBenchText(question, counterexample, benchFile).toUtf8());
}

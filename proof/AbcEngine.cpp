#include "proof/AbcEngine.h"

#include "model/StepTime.h"
#include "proof/CounterexampleBreach.h"
#include "proof/ProofBench.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

struct AbcRun
{
    int status = -1; // ABC's print_status: 1 proved, 0 failed, -1 undecided
    int frames = 0;
    int failedFrame = -1;
    bool cancelled = false;
};

// Runs ABC on one script and reads the status it prints; ABC's own time
// limit and the question's are the same, and a cancel kills it.
std::expected<AbcRun, QString> runAbc(const QString &script, const ProofQuestion &question,
                                      const std::atomic<bool> *cancel, const QElapsedTimer &clock)
{
    QProcess abc;
    abc.setProcessChannelMode(QProcess::MergedChannels);
    abc.start(QLatin1String(AbcProgram), {QStringLiteral("-c"), script});
    if (!abc.waitForStarted())
        return std::unexpected(QStringLiteral("Не удалось запустить %1 (движок ABC): %2. Установите пакет berkeley-abc.")
                                   .arg(QLatin1String(AbcProgram), abc.errorString()));
    AbcRun run;
    while (!abc.waitForFinished(100)) {
        const bool late = question.timeSeconds > 0 && double(clock.elapsed()) / 1000 > question.timeSeconds + 5;
        if ((cancel && *cancel) || late) {
            abc.kill();
            abc.waitForFinished();
            run.cancelled = cancel && *cancel;
            return run;
        }
    }
    const QString output = QString::fromLocal8Bit(abc.readAll());
    static const QRegularExpression status(QStringLiteral("Status = (-?[01])\\s+Frames = (-?\\d+)"));
    static const QRegularExpression failed(QStringLiteral("asserted in frame (\\d+)"));
    const QRegularExpressionMatch said = status.match(output);
    if (abc.exitStatus() != QProcess::NormalExit || !said.hasMatch())
        return std::unexpected(QStringLiteral("%1 не дал ответа (код %2): %3")
                                   .arg(QLatin1String(AbcProgram))
                                   .arg(abc.exitCode())
                                   .arg(output.trimmed().right(600)));
    run.status = said.captured(1).toInt();
    run.frames = said.captured(2).toInt();
    if (const QRegularExpressionMatch at = failed.match(output); at.hasMatch())
        run.failedFrame = at.captured(1).toInt();
    return run;
}

// The input values of the named counterexample ABC writes ("name@frame=value").
std::expected<std::vector<std::vector<bool>>, QString> readFrames(const QString &file, const Aig &aig)
{
    QFile cex(file);
    if (!cex.open(QIODevice::ReadOnly))
        return std::unexpected(QStringLiteral("%1 не записал контрпример «%2»").arg(QLatin1String(AbcProgram), file));
    std::map<QString, std::size_t> inputs;
    for (std::size_t k = 0; k < aig.inputNames().size(); ++k)
        inputs.emplace(aig.inputNames()[k], k);
    static const QRegularExpression value(QStringLiteral("^(.+)@(\\d+)=([01])$"));
    std::vector<std::vector<bool>> frames;
    while (!cex.atEnd()) {
        const QRegularExpressionMatch m = value.match(QString::fromUtf8(cex.readLine()).trimmed());
        if (!m.hasMatch())
            continue;
        const auto input = inputs.find(m.captured(1));
        if (input == inputs.end())
            continue; // a latch's initial value
        const auto frame = std::size_t(m.captured(2).toULongLong());
        if (frame >= 1'000'000)
            return std::unexpected(QStringLiteral("контрпример ABC длиннее миллиона шагов"));
        if (frames.size() <= frame)
            frames.resize(frame + 1, std::vector<bool>(aig.inputNames().size()));
        frames[frame][input->second] = m.captured(3) == QLatin1String("1");
    }
    if (frames.empty())
        return std::unexpected(QStringLiteral("в контрпримере ABC «%1» нет шагов").arg(file));
    return frames;
}

unsigned wordAt(const std::vector<bool> &frame, int first, int bits)
{
    unsigned value = 0;
    for (int b = 0; b < bits; ++b)
        value |= unsigned(frame[std::size_t(first + b)]) << b;
    return value;
}

// BMC's run has the fewest steps but any code at each: every change that
// the run can do without (the code before it held on instead) goes, as long
// as the run still breaks the property at its last step and no earlier.
void dropNeedlessChanges(const ProofQuestion &question, Counterexample &counterexample)
{
    std::vector<int16_t> &inputs = counterexample.inputs;
    for (bool dropped = true; dropped;) {
        dropped = false;
        for (std::size_t s = 1; s < inputs.size(); ++s) {
            if (inputs[s] == inputs[s - 1])
                continue;
            std::size_t end = s;
            while (end < inputs.size() && inputs[end] == inputs[s])
                ++end;
            const std::vector<int16_t> before = inputs;
            std::fill(inputs.begin() + std::ptrdiff_t(s), inputs.begin() + std::ptrdiff_t(end), inputs[s - 1]);
            if (ReplayCounterexample(question, counterexample))
                dropped = true;
            else
                inputs = before;
        }
    }
}

} // namespace

Counterexample CounterexampleOfFrames(const ProofQuestion &question, const ProofCircuit &circuit,
                                      const std::vector<std::vector<bool>> &frames)
{
    Counterexample c;
    c.timing = question.timing;
    std::vector<unsigned> held(std::size_t(circuit.faultWords), 0);
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const std::vector<bool> &frame = frames[f];
        c.inputs.push_back(int16_t(wordAt(frame, 0, circuit.inputBits)));
        // A word is offered only once the one before it is in force.
        unsigned before = 1;
        for (int w = 0; w < circuit.faultWords; ++w) {
            unsigned &value = held[std::size_t(w)];
            if (value == 0 && before != 0)
                if ((value = wordAt(frame, circuit.faultInput(w), circuit.faultBits)); value != 0
                                                                                  && value <= circuit.faults.size()) {
                    RunScenario::FaultAt fault = circuit.faults[value - 1];
                    fault.step = qint64(f) + 1;
                    c.faults.push_back(fault);
                }
            before = value;
        }
    }
    if (question.bands && !frames.empty()) {
        // Every delay of a band takes its steps, as the explicit search gives them.
        for (int i = 1; i <= circuit.elementCount; ++i)
            for (int side = 0; side < 2; ++side)
                SetDelaySteps(c.timing, i, side, (*question.bands)[std::size_t(i)][std::size_t(side)].first);
        for (std::size_t k = 0; k < circuit.delayChoices.size(); ++k) {
            const ProofCircuit::DelayChoice &choice = circuit.delayChoices[k];
            SetDelaySteps(c.timing, choice.element, choice.delay,
                          choice.band.first + int(wordAt(frames.front(), circuit.delayInput(k), choice.bits)));
        }
    }
    return c;
}

std::expected<ProofAnswer, QString> ProveWithAbc(const ProofQuestion &question, const std::atomic<bool> *cancel)
{
    QElapsedTimer clock;
    clock.start();
    const auto circuit = BuildProofCircuit(question);
    if (!circuit)
        return std::unexpected(circuit.error());
    QTemporaryDir dir;
    const QString aig = dir.filePath(QStringLiteral("question.aig"));
    const QString cex = dir.filePath(QStringLiteral("question.cex"));
    if (QFile file(aig); !file.open(QIODevice::WriteOnly) || file.write(WriteBinaryAig(circuit->aig)) < 0 || !file.flush())
        return std::unexpected(QStringLiteral("Не удалось записать схему для ABC «%1»: %2").arg(aig, file.errorString()));

    const QString limit = question.timeSeconds > 0 ? QStringLiteral(" -T %1").arg(std::ceil(question.timeSeconds)) : QString();
    ProofAnswer answer;
    answer.engine = ProofAnswer::Engine::Abc;
    const auto finish = [&](ProofAnswer::Verdict verdict, const QString &stoppedBy = {}) {
        answer.verdict = verdict;
        answer.stoppedBy = stoppedBy;
        answer.seconds = double(clock.elapsed()) / 1000;
        return answer;
    };
    const auto stopped = [&](const AbcRun &run) {
        return finish(ProofAnswer::Verdict::Unknown,
                      run.cancelled ? QStringLiteral("Отменено") : QStringLiteral("достигнут предел времени"));
    };

    const auto pdr = runAbc(QStringLiteral("read %1; pdr%2; print_status").arg(aig, limit), question, cancel, clock);
    if (!pdr)
        return std::unexpected(pdr.error());
    answer.depth = std::max(0, pdr->frames);
    if (pdr->status == 1)
        return finish(ProofAnswer::Verdict::Proved);
    if (pdr->status != 0 || pdr->failedFrame < 0)
        return stopped(*pdr);

    // PDR's failure may be long; the bounded check up to its depth finds
    // one of the fewest steps.
    const auto bmc = runAbc(QStringLiteral("read %1; bmc3 -F %2%3; print_status; write_cex -n %4")
                                .arg(aig).arg(pdr->failedFrame + 1).arg(limit, cex),
                            question, cancel, clock);
    if (!bmc)
        return std::unexpected(bmc.error());
    if (bmc->status != 0)
        return stopped(*bmc);
    const auto frames = readFrames(cex, circuit->aig);
    if (!frames)
        return std::unexpected(frames.error());
    Counterexample counterexample = CounterexampleOfFrames(question, *circuit, *frames);
    if (ReplayCounterexample(question, counterexample))
        dropNeedlessChanges(question, counterexample);
    if (const auto breach = FirstBreach(question, counterexample); breach && *breach) {
        const Breach &b = **breach;
        counterexample.property = BreachProperty(question, b);
        if (b.kind == Breach::Kind::Invariant)
            counterexample.place = question.invariants[std::size_t(b.invariant)].place;
        counterexample.shown = b.shown;
        counterexample.warranted = b.warranted;
    }
    answer.depth = int(counterexample.steps());
    answer.counterexample = std::move(counterexample);
    return finish(ProofAnswer::Verdict::Refuted);
}

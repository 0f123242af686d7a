#include "check/LoadedBench.h"
#include "proof/AbcEngine.h"
#include "proof/AigSim.h"
#include "proof/CounterexampleBreach.h"
#include "proof/ProofBench.h"
#include "proof/ProofEngines.h"
#include "tests/support/RandomDevice.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

void writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

// A random device with random delays of 0 to 0.04 s and a random question
// over it: codes or a free input, faults, bands, invariants and the
// properties over levels, written as a bench and read as prove reads it.
std::optional<ProofQuestion> randomQuestion(const QTemporaryDir &dir, std::mt19937 &random, int m, QString &text)
{
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    SharedModel model;
    int elements = 0;
    loadRandomModel(dir, random, m, model, elements);
    if (!model)
        return std::nullopt;
    QStringList timing;
    for (int k = 0; k < 2 * elements; ++k)
        timing << QString::number(double(pick(0, 4)) / 100);
    timing << QStringLiteral("100");
    const QString base = dir.filePath(QStringLiteral("m%1").arg(m));
    writeFile(base + QStringLiteral(".tim"), timing.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    const bool coded = m % 2 == 0;
    text = QStringLiteral("модель %1.mod\nвремена %1.tim\n").arg(base);
    if (coded) {
        text += QStringLiteral("доказать коды %1\nпоказание ВЫХ1 %2\n")
                    .arg(pick(0, 1) ? QStringLiteral("0 1 2 3") : QStringLiteral("1 3"))
                    .arg(pick(1, 3));
        if (pick(0, 1))
            text += QStringLiteral("запаздывание показания %1\n").arg(pick(0, 6));
        if (pick(0, 1))
            text += QStringLiteral("отклик %1\n").arg(pick(1, 12));
        if (pick(0, 2) == 0)
            text += QStringLiteral("смена кода не чаще %1\n").arg(pick(2, 5));
    } else {
        text += QStringLiteral("доказать вход свободный\n");
    }
    const QString faults[] = {QStringLiteral("нет"), QStringLiteral("одиночные"), QStringLiteral("пары")};
    text += QStringLiteral("неисправности %1\n").arg(faults[pick(0, 2)]);
    if (pick(0, 1))
        text += QStringLiteral("контакты\n");
    if (pick(0, 1))
        text += QStringLiteral("допуск 50%\n");
    const QString names[] = {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("ВЫХ1")};
    text += QStringLiteral("ожидать никогда %1 и %2 %3\n")
                .arg(names[pick(0, 2)], pick(0, 1) ? QStringLiteral("не") : QString(), names[pick(0, 2)]);
    writeFile(base + QStringLiteral(".bench"), text);
    const auto bench = LoadBench(base + QStringLiteral(".bench"));
    EXPECT_TRUE(bench.has_value()) << bench.error().toStdString();
    if (!bench)
        return std::nullopt;
    auto question = QuestionFromBench(*bench, {});
    EXPECT_TRUE(question.has_value()) << question.error().toStdString();
    return question ? std::optional(std::move(*question)) : std::nullopt;
}

// The circuit's inputs for one valid run of `length` steps: codes held at
// least the minimum, faults offered once at random steps (and anything
// after they are in force), band choices at the first step (and anything
// later).
std::vector<std::vector<bool>> randomFrames(const ProofQuestion &q, const ProofCircuit &circuit, std::mt19937 &random,
                                            int length)
{
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const std::size_t width = circuit.aig.inputNames().size();
    std::vector<std::vector<bool>> frames(static_cast<std::size_t>(length), std::vector<bool>(width));
    const auto put = [&](std::vector<bool> &frame, int first, int bits, unsigned value) {
        for (int b = 0; b < bits; ++b)
            frame[std::size_t(first + b)] = (value >> b) & 1;
    };
    const auto garbage = [&](std::vector<bool> &frame, int first, int bits) {
        put(frame, first, bits, unsigned(pick(0, (1 << bits) - 1)));
    };
    int input = q.input == ProofQuestion::Input::Free ? 0 : q.codes[std::size_t(pick(0, int(q.codes.size()) - 1))];
    int held = 0;
    std::vector<int> faultStep(std::size_t(circuit.faultWords), 0);
    std::vector<unsigned> faultValue(std::size_t(circuit.faultWords), 0);
    for (int w = 0; w < circuit.faultWords; ++w) {
        if (pick(0, 2) == 0)
            break; // this fault, and any later one, never occurs
        faultStep[std::size_t(w)] = pick(w == 0 ? 1 : faultStep[std::size_t(w - 1)], length);
        faultValue[std::size_t(w)] = unsigned(pick(1, int(circuit.faults.size())));
        const RunScenario::FaultAt &f = circuit.faults[faultValue[std::size_t(w)] - 1];
        if (w > 0) {
            const RunScenario::FaultAt &g = circuit.faults[faultValue[0] - 1];
            if (f.contact == g.contact && (f.contact != 0 || f.element == g.element))
                faultStep[std::size_t(w)] = 0; // two faults of one place are not a pair
        }
    }
    for (int s = 1; s <= length; ++s) {
        std::vector<bool> &frame = frames[std::size_t(s - 1)];
        if (q.input == ProofQuestion::Input::Free) {
            input = pick(0, 1);
        } else if (s > 1 && held >= q.minChangeSteps && pick(0, 5) == 0) {
            input = q.codes[std::size_t(pick(0, int(q.codes.size()) - 1))];
        }
        put(frame, 0, circuit.inputBits, unsigned(input));
        for (int w = 0; w < circuit.faultWords; ++w) {
            const int at = faultStep[std::size_t(w)];
            if (at != 0 && s == at)
                put(frame, circuit.faultInput(w), circuit.faultBits, faultValue[std::size_t(w)]);
            else if (at != 0 && s > at)
                garbage(frame, circuit.faultInput(w), circuit.faultBits);
        }
        for (std::size_t c = 0; c < circuit.delayChoices.size(); ++c) {
            const DelayBand &band = circuit.delayChoices[c].band;
            if (s == 1)
                put(frame, circuit.delayInput(c), circuit.delayChoices[c].bits, unsigned(pick(0, band.last - band.first)));
            else
                garbage(frame, circuit.delayInput(c), circuit.delayChoices[c].bits);
        }
        const bool changed = s > 1 && (frames[std::size_t(s - 2)][0] != frame[0]
                                       || (circuit.inputBits == 2 && frames[std::size_t(s - 2)][1] != frame[1]));
        held = s == 1 || changed ? 1 : held + 1;
    }
    return frames;
}

} // namespace

TEST(ProofCircuit, StepsAsOrdinaryRunsAndBreaksWhereTheyBreak)
{
    // The circuit, simulated, against the ordinary run its inputs stand for:
    // the elements, outputs and input at every step, and the first step
    // where "bad" rises against the first breach of the run.
    std::mt19937 random(9122026);
    QTemporaryDir dir;
    int broken = 0, held = 0;
    for (int m = 0; m < 40; ++m) {
        QString text;
        const std::optional<ProofQuestion> question = randomQuestion(dir, random, m, text);
        ASSERT_TRUE(question) << text.toStdString();
        const auto circuit = BuildProofCircuit(*question, true);
        ASSERT_TRUE(circuit.has_value()) << circuit.error().toStdString();
        for (int r = 0; r < 4; ++r) {
            const auto frames = randomFrames(*question, *circuit, random, 40);
            const Counterexample run = CounterexampleOfFrames(*question, *circuit, frames);
            const auto trace = RunCounterexample(*question, run);
            ASSERT_TRUE(trace.has_value()) << trace.error().toStdString();
            const auto breach = FirstBreach(*question, run);
            ASSERT_TRUE(breach.has_value()) << breach.error().toStdString();
            AigSim sim(circuit->aig);
            qint64 firstBad = 0;
            for (std::size_t f = 0; f < frames.size(); ++f) {
                const std::vector<bool> out = sim.step(frames[f]);
                const uint64_t runSignals = trace->values[f + 1];
                const std::string where = text.toStdString() + "run " + std::to_string(r) + ", step " + std::to_string(f + 1);
                for (int i = 1; i <= circuit->elementCount; ++i)
                    ASSERT_EQ(out[std::size_t(circuit->elementOutput(i))], bool((runSignals >> i) & 1)) << where << ", element " << i;
                for (int j = 1; j <= circuit->outputCount; ++j)
                    ASSERT_EQ(out[std::size_t(circuit->modelOutput(j))], bool((runSignals >> (MaxElements + j)) & 1))
                        << where << ", output " << j;
                ASSERT_EQ(out[std::size_t(circuit->inputOutput())], bool(runSignals & 1)) << where;
                if (out[0] && firstBad == 0)
                    firstBad = qint64(f) + 1;
            }
            const qint64 expected = *breach ? (*breach)->step : 0;
            EXPECT_EQ(firstBad, expected) << text.toStdString() << "run " << r;
            (expected ? broken : held) += 1;
        }
    }
    // Both kinds of run were drawn.
    EXPECT_GT(broken, 10);
    EXPECT_GT(held, 10);
}

namespace {

// Both engines on one question: the same verdict, and for a refutation a
// counterexample of the same steps that replays. Unknown from the explicit
// search (its state limit) leaves nothing to compare.
bool agree(const ProofQuestion &question, const std::string &what)
{
    const auto explicitAnswer = ProveWith(ProofEngine::Explicit, question);
    const auto abcAnswer = ProveWith(ProofEngine::Abc, question);
    EXPECT_TRUE(explicitAnswer.has_value()) << what << explicitAnswer.error().toStdString();
    EXPECT_TRUE(abcAnswer.has_value()) << what << abcAnswer.error().toStdString();
    if (!explicitAnswer || !abcAnswer || explicitAnswer->verdict == ProofAnswer::Verdict::Unknown)
        return false;
    EXPECT_EQ(abcAnswer->verdict, explicitAnswer->verdict) << what;
    if (abcAnswer->verdict == ProofAnswer::Verdict::Refuted && explicitAnswer->verdict == ProofAnswer::Verdict::Refuted) {
        EXPECT_EQ(abcAnswer->counterexample->steps(), explicitAnswer->counterexample->steps()) << what;
        const auto replayed = ReplayCounterexample(question, *abcAnswer->counterexample);
        EXPECT_TRUE(replayed.has_value()) << what << replayed.error().toStdString();
    }
    return true;
}

} // namespace

TEST(ProofEngines, AgreeOnRandomDevicesAndTheExamples)
{
    std::mt19937 random(10122026);
    QTemporaryDir dir;
    int compared = 0;
    for (int m = 0; m < 16; ++m) {
        QString text;
        std::optional<ProofQuestion> question = randomQuestion(dir, random, m, text);
        ASSERT_TRUE(question) << text.toStdString();
        question->maxStates = 2'000'000;
        compared += agree(*question, text.toStdString());
    }
    EXPECT_GE(compared, 12);

    for (const char *bench : {"stick-relay-prove.bench", "code-present-prove.bench", "decoder-prove.bench"}) {
        const auto loaded = LoadBench(QStringLiteral(EXAMPLES_DIR "/") + QLatin1String(bench));
        ASSERT_TRUE(loaded.has_value()) << loaded.error().toStdString();
        const auto question = QuestionFromBench(*loaded, {});
        ASSERT_TRUE(question.has_value()) << question.error().toStdString();
        EXPECT_TRUE(agree(*question, bench)) << bench;
    }
}

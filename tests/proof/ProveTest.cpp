#include "check/LoadedBench.h"
#include "model/ModelFile.h"
#include "proof/CounterexampleBreach.h"
#include "proof/CounterexampleFile.h"
#include "proof/ProofBench.h"
#include "tools/ProveCommand.h"
#include "tools/TestCommand.h"
#include "tests/support/RandomDevice.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace {

void writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

std::expected<ProofQuestion, QString> questionOf(const QString &benchFile, const ProofChoices &choices = {})
{
    const auto bench = LoadBench(benchFile);
    if (!bench)
        return std::unexpected(bench.error());
    return QuestionFromBench(*bench, choices);
}

// Two relays in a row, every delay one step: А follows p, Б follows А.
QString lagDevice(const QTemporaryDir &dir)
{
    ModelText model;
    model.name = QStringLiteral("lag");
    model.elements = {{QStringLiteral("А"), QStringLiteral("p")}, {QStringLiteral("Б"), QStringLiteral("А")}};
    model.outputs = {{QStringLiteral("ВЫХ"), QStringLiteral("Б")}};
    const QString path = dir.filePath(QStringLiteral("lag.mod"));
    EXPECT_TRUE(WriteModelFile(path, model));
    return path;
}

// The first step where a run of these inputs (and faults) breaks a property
// of the question, by an ordinary run; 0 when none does.
qint64 firstBreach(const ProofQuestion &question, std::vector<int16_t> inputs,
                   std::vector<RunScenario::FaultAt> faults = {})
{
    Counterexample run;
    run.inputs = std::move(inputs);
    run.faults = std::move(faults);
    run.timing = question.timing;
    const auto breach = FirstBreach(question, run);
    EXPECT_TRUE(breach.has_value()) << breach.error().toStdString();
    return breach && *breach ? (*breach)->step : 0;
}

// The shortest run up to length steps that breaks a property, by trying
// every sequence of inputs of that length (and, with faults, every fault
// of every element at every step); 0 when none does.
qint64 bruteForceShortest(const ProofQuestion &question, int length, const std::vector<int16_t> &values, bool faults)
{
    qint64 shortest = 0;
    const auto consider = [&](qint64 step) {
        if (step > 0 && (shortest == 0 || step < shortest))
            shortest = step;
    };
    qint64 sequences = 1;
    for (int s = 0; s < length; ++s)
        sequences *= qint64(values.size());
    for (qint64 n = 0; n < sequences; ++n) {
        std::vector<int16_t> inputs;
        for (qint64 rest = n; int(inputs.size()) < length; rest /= qint64(values.size()))
            inputs.push_back(values[size_t(rest % qint64(values.size()))]);
        consider(firstBreach(question, inputs));
        if (faults)
            for (int element = 1; element <= question.model->definition.ElemCount; ++element)
                for (uint8_t kind : {uint8_t(1), uint8_t(2)})
                    for (qint64 at = 1; at <= length; ++at)
                        consider(firstBreach(question, inputs, {{at, element, kind, 0}}));
    }
    return shortest;
}

} // namespace

TEST(Prove, CountsTheReachableStatesOfTheExamples)
{
    // Counted with an independent model of the stepping rules, p free at
    // every step, the state at rest included.
    const struct { const char *name; qint64 states; } rows[] = {
        {"stick-relay", 59}, {"code-present", 1453}, {"decoder", 53911},
    };
    QTemporaryDir dir;
    for (const auto &row : rows) {
        const QString bench = dir.filePath(QStringLiteral("%1.bench").arg(QLatin1String(row.name)));
        writeFile(bench, QStringLiteral("модель " EXAMPLES_DIR "/%1.mod\nвремена " EXAMPLES_DIR "/%1.tim\n"
                                        "доказать вход свободный\nожидать никогда p и не p\n")
                             .arg(QLatin1String(row.name)));
        const auto question = questionOf(bench);
        ASSERT_TRUE(question.has_value()) << question.error().toStdString();
        const auto answer = Prove(*question);
        ASSERT_TRUE(answer.has_value()) << answer.error().toStdString();
        EXPECT_EQ(answer->verdict, ProofAnswer::Verdict::Proved) << row.name;
        EXPECT_EQ(answer->states, row.states) << row.name;
    }
}

TEST(Prove, FindsTheShortestCounterexampleWorkedOutByHand)
{
    // Б up while А is down: А must rise (p at steps 1 and 2) and fall (p 0
    // at steps 3 and 4) while Б, a step behind, has just risen: step 4, and
    // p 0 at step 4 is no second change. A feed on Б needs no А at all: Б
    // is up at step 2 with p 0 throughout. Under codes the same: КЖ sends
    // the first impulse of its cycle at steps 1 and 2, and no code is p 0.
    const struct {
        const char *input;
        const char *faults;
        std::vector<int16_t> inputs;
        std::vector<RunScenario::FaultAt> injected;
    } rows[] = {
        {"вход свободный", "нет", {1, 1, 0, 0}, {}},
        {"вход свободный", "одиночные", {0, 0}, {{1, 2, 2, 0}}},
        {"коды 0 1 2 3", "нет", {1, 1, 0, 0}, {}},
        {"коды 0 1 2 3", "одиночные", {0, 0}, {{1, 2, 2, 0}}},
    };
    QTemporaryDir dir;
    const QString model = lagDevice(dir);
    for (const auto &row : rows) {
        const QString bench = dir.filePath(QStringLiteral("lag.bench"));
        writeFile(bench, QStringLiteral("модель %1\nдоказать %2\nнеисправности %3\nожидать никогда Б и не А\n")
                             .arg(model, QString::fromUtf8(row.input), QString::fromUtf8(row.faults)));
        const auto question = questionOf(bench);
        ASSERT_TRUE(question.has_value()) << question.error().toStdString();
        const auto answer = Prove(*question);
        ASSERT_TRUE(answer.has_value());
        ASSERT_EQ(answer->verdict, ProofAnswer::Verdict::Refuted) << row.faults;
        const Counterexample &c = *answer->counterexample;
        EXPECT_EQ(c.inputs, row.inputs) << row.faults;
        ASSERT_EQ(c.faults.size(), row.injected.size()) << row.faults;
        for (size_t k = 0; k < c.faults.size(); ++k) {
            EXPECT_EQ(c.faults[k].step, row.injected[k].step);
            EXPECT_EQ(c.faults[k].element, row.injected[k].element);
            EXPECT_EQ(c.faults[k].kind, row.injected[k].kind);
        }

        // The bench written for it fails under modelrun test, and only at
        // the expectation it was written with.
        const QString written = dir.filePath(QStringLiteral("counterexample.bench"));
        ASSERT_TRUE(WriteCounterexampleBench(*question, c, written).has_value());
        std::FILE *sink = std::tmpfile();
        EXPECT_EQ(RunTestCommand({written}, sink, sink), 1) << CounterexampleBenchText(*question, c, written).toStdString();
        std::fclose(sink);
    }
}

TEST(Prove, HoldsAnIndicationWithinItsLatencyWorkedOutByHand)
{
    // Л follows p, picking up in a step and releasing in five: after КЖ at
    // steps 1 and 2 (the first impulse of its cycle) and no code from step
    // 3, Л releases at step 3 and falls at step 8, so ВЫХ (level 1) shows
    // КЖ at steps 2..7. It outlives a latency of D steps from step 3 + D
    // on, and no shorter run keeps Л up longer past its last code. The
    // same run breaks a response of 3 steps at step 5: no code for three
    // steps, and ВЫХ still shows КЖ; КЖ's own first steps show it in time.
    // Each breach was decided over the steps from 3 on: the latency's codes
    // of steps t - D .. t, the response's code held at t - 2 .. t.
    const struct { const char *property; int steps; std::vector<int16_t> inputs; } rows[] = {
        {"запаздывание показания", 2, {1, 1, 0, 0, 0}},
        {"запаздывание показания", 4, {1, 1, 0, 0, 0, 0, 0}},
        {"запаздывание показания", 5, {}},
        {"отклик", 3, {1, 1, 0, 0, 0}},
    };
    constexpr qint64 DecidedFrom = 3;
    QTemporaryDir dir;
    ModelText model;
    model.name = QStringLiteral("hold");
    model.elements = {{QStringLiteral("Л"), QStringLiteral("p")}};
    model.outputs = {{QStringLiteral("ВЫХ"), QStringLiteral("Л")}};
    ASSERT_TRUE(WriteModelFile(dir.filePath(QStringLiteral("hold.mod")), model));
    writeFile(dir.filePath(QStringLiteral("hold.tim")), QStringLiteral("0.01\n0.05\n100\n"));
    for (const auto &row : rows) {
        const QString bench = dir.filePath(QStringLiteral("hold.bench"));
        writeFile(bench, QStringLiteral("модель hold.mod\nвремена hold.tim\nдоказать коды 0 1\nпоказание ВЫХ 1\n%1 %2\n")
                             .arg(QString::fromUtf8(row.property))
                             .arg(row.steps));
        const auto question = questionOf(bench);
        ASSERT_TRUE(question.has_value()) << question.error().toStdString();
        const auto answer = Prove(*question);
        ASSERT_TRUE(answer.has_value());
        if (row.inputs.empty()) {
            EXPECT_EQ(answer->verdict, ProofAnswer::Verdict::Proved) << row.property << ' ' << row.steps;
            continue;
        }
        ASSERT_EQ(answer->verdict, ProofAnswer::Verdict::Refuted) << row.property << ' ' << row.steps;
        EXPECT_EQ(answer->counterexample->inputs, row.inputs) << row.property << ' ' << row.steps;
        EXPECT_EQ(answer->counterexample->shown, 1);
        EXPECT_EQ(answer->counterexample->warranted, 0);
        const auto breach = FirstBreach(*question, *answer->counterexample);
        ASSERT_TRUE(breach && *breach);
        EXPECT_EQ((*breach)->firstStep, DecidedFrom) << row.property << ' ' << row.steps;
    }
}

TEST(Prove, FindsARaceOnlyInsideABand)
{
    // А and Б both follow p, А picking up in 3 steps and Б in 5, releasing
    // at once: Б never rises before А at nominal times, nor at ±20 % (Б at
    // least 4, А at most 4). At ±50 % Б may take 2 and А 3 or more: Б is
    // up alone at step 3, after p 1 at steps 1..3. А never completes, so
    // the run gives it its longest time, 0.05 s.
    const struct { const char *tolerance; bool refuted; } rows[] = {
        {"", false}, {"допуск 20%\n", false}, {"допуск 50%\n", true},
    };
    QTemporaryDir dir;
    ModelText model;
    model.name = QStringLiteral("race");
    model.elements = {{QStringLiteral("А"), QStringLiteral("p")}, {QStringLiteral("Б"), QStringLiteral("p")}};
    model.outputs = {{QStringLiteral("ВЫХ"), QStringLiteral("Б*-А")}};
    ASSERT_TRUE(WriteModelFile(dir.filePath(QStringLiteral("race.mod")), model));
    writeFile(dir.filePath(QStringLiteral("race.tim")), QStringLiteral("0.03\n0.05\n0\n0\n100\n"));
    for (const auto &row : rows) {
        const QString bench = dir.filePath(QStringLiteral("race.bench"));
        writeFile(bench, QStringLiteral("модель race.mod\nвремена race.tim\nдоказать вход свободный\n%1"
                                        "ожидать никогда Б и не А\n").arg(QString::fromUtf8(row.tolerance)));
        const auto question = questionOf(bench);
        ASSERT_TRUE(question.has_value()) << question.error().toStdString();
        const auto answer = Prove(*question);
        ASSERT_TRUE(answer.has_value());
        if (!row.refuted) {
            EXPECT_EQ(answer->verdict, ProofAnswer::Verdict::Proved) << row.tolerance;
            continue;
        }
        ASSERT_EQ(answer->verdict, ProofAnswer::Verdict::Refuted) << row.tolerance;
        const Counterexample &c = *answer->counterexample;
        EXPECT_EQ(c.inputs, (std::vector<int16_t>{1, 1, 1}));
        EXPECT_FLOAT_EQ(c.timing.Tpr[2], 0.02f);
        EXPECT_FLOAT_EQ(c.timing.Tpr[1], 0.05f);
        EXPECT_TRUE(ReplayCounterexample(*question, c).has_value());

        // Its bench carries the chosen times in a timing file of its own.
        const QString written = dir.filePath(QStringLiteral("race-cx.bench"));
        ASSERT_TRUE(WriteCounterexampleBench(*question, c, written).has_value());
        std::FILE *sink = std::tmpfile();
        EXPECT_EQ(RunTestCommand({written}, sink, sink), 1);
        std::fclose(sink);
    }
}

TEST(Prove, AgreesWithEveryInputSequenceOfRandomDevices)
{
    // Short delays, so that short runs reach most of what a device does.
    std::mt19937 random(8122026);
    QTemporaryDir dir;
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int m = 0; m < 18; ++m) {
        // An invariant over two random signals, or under codes 1..3 a
        // latency of a few steps over ВЫХ1 as an indication; one broken at
        // the first step tells little, so up to ten devices are drawn for
        // one where it is not.
        const QString names[] = {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("ВЫХ1")};
        const bool coded = m % 3 == 2;
        const bool faults = m % 3 == 1;
        const int length = coded ? 6 : faults ? 6 : 10;
        const std::vector<int16_t> values = coded ? std::vector<int16_t>{1, 2, 3} : std::vector<int16_t>{0, 1};
        QString text;
        std::optional<ProofQuestion> question;
        qint64 shortest = 1;
        for (int attempt = 0; attempt < 10 && shortest == 1; ++attempt) {
            SharedModel model;
            int elements = 0;
            ASSERT_NO_FATAL_FAILURE(loadRandomModel(dir, random, 10 * m + attempt, model, elements));
            QStringList timing;
            for (int side = 0; side < 2; ++side)
                for (int i = 1; i <= elements; ++i)
                    timing << QString::number(double(pick(1, 3)) / 100);
            timing << QStringLiteral("100");
            const QString base = dir.filePath(QStringLiteral("m%1").arg(10 * m + attempt));
            writeFile(base + QStringLiteral(".tim"), timing.join(QLatin1Char('\n')) + QLatin1Char('\n'));
            text = QStringLiteral("модель %1.mod\nвремена %1.tim\n").arg(base);
            text += coded ? QStringLiteral("доказать коды 1 2 3\nпоказание ВЫХ1 %1\nзапаздывание показания %2\n")
                                .arg(pick(2, 3))
                                .arg(pick(0, 3))
                          : QStringLiteral("доказать вход свободный\nожидать никогда %1 и %2 %3\n")
                                .arg(names[pick(0, 2)], pick(0, 1) ? QStringLiteral("не") : QString(), names[pick(0, 2)]);
            if (faults)
                text += QStringLiteral("неисправности одиночные\n");
            writeFile(base + QStringLiteral(".bench"), text);
            auto asked = questionOf(base + QStringLiteral(".bench"));
            ASSERT_TRUE(asked.has_value()) << asked.error().toStdString();
            question = std::move(*asked);
            shortest = bruteForceShortest(*question, length, values, faults);
        }
        const auto answer = Prove(*question);
        ASSERT_TRUE(answer.has_value()) << answer.error().toStdString();
        const std::string what = "device " + std::to_string(m) + ": " + text.toStdString();
        // Threads change nothing of the answer.
        ProofQuestion threaded = *question;
        threaded.jobs = 3;
        const auto parallel = Prove(threaded);
        ASSERT_TRUE(parallel.has_value()) << parallel.error().toStdString();
        EXPECT_EQ(parallel->verdict, answer->verdict) << what;
        EXPECT_EQ(parallel->states, answer->states) << what;
        EXPECT_EQ(parallel->depth, answer->depth) << what;
        if (answer->counterexample && parallel->counterexample) {
            EXPECT_EQ(parallel->counterexample->inputs, answer->counterexample->inputs) << what;
            const auto faultsOf = [](const Counterexample &c) {
                std::vector<std::tuple<qint64, int, int, int>> faults;
                for (const RunScenario::FaultAt &f : c.faults)
                    faults.emplace_back(f.step, f.element, f.kind, f.contact);
                return faults;
            };
            EXPECT_EQ(faultsOf(*parallel->counterexample), faultsOf(*answer->counterexample)) << what;
        }
        if (shortest > 0) {
            ASSERT_EQ(answer->verdict, ProofAnswer::Verdict::Refuted) << what;
            EXPECT_EQ(answer->counterexample->steps(), shortest) << what;
            EXPECT_TRUE(ReplayCounterexample(*question, *answer->counterexample).has_value()) << what;
        } else {
            EXPECT_TRUE(answer->verdict == ProofAnswer::Verdict::Proved || answer->counterexample->steps() > length)
                << what;
        }
    }
}

TEST(Prove, RefusesWhatItCannotAskWithExitTwo)
{
    QTemporaryDir dir;
    const QString model = lagDevice(dir);
    const struct { const char *lines; QStringList options; const char *message; } rows[] = {
        {"ожидать никогда В\n", {}, "сигнала «В» нет в модели"},
        {"запаздывание показания 2с\n", {}, "нет строк «показание ВЫХОД УРОВЕНЬ»"},
        {"ожидать никогда А\n", {QStringLiteral("--latency"), QStringLiteral("две")}, "--latency: «две»"},
        {"ожидать всегда А от 5\n", {}, "нечего доказывать"},
        {"смена кода не чаще 0.5\n", {}, "столбец"},
        {"показание ВЫХ 1\nдоказать вход свободный\nотклик 1с\n", {}, "а вход задан свободным"},
    };
    for (const auto &row : rows) {
        const QString bench = dir.filePath(QStringLiteral("bad.bench"));
        writeFile(bench, QStringLiteral("модель %1\n").arg(model) + QString::fromUtf8(row.lines));
        std::FILE *out = std::tmpfile();
        std::FILE *err = std::tmpfile();
        EXPECT_EQ(RunProveCommand(QStringList{QStringLiteral("--bench"), bench} + row.options, out, err), 2) << row.lines;
        std::rewind(err);
        char buffer[2048] = {};
        const size_t read = std::fread(buffer, 1, sizeof buffer - 1, err);
        EXPECT_NE(QString::fromUtf8(buffer, qsizetype(read)).indexOf(QString::fromUtf8(row.message)), -1)
            << row.lines << " -> " << buffer;
        std::fclose(out);
        std::fclose(err);
    }
}

TEST(Prove, ProvesTheDecoderForEveryCodeSequence)
{
    // The lamps of the decoder exclude each other by their contacts, for
    // any input: the bench says so of every scenario. The bench may be
    // named with --bench or alone.
    const QString bench = QStringLiteral(EXAMPLES_DIR "/decoder.bench");
    for (const QStringList &named : {QStringList{QStringLiteral("--bench"), bench}, QStringList{bench}}) {
        std::FILE *out = std::tmpfile();
        EXPECT_EQ(RunProveCommand(named + QStringList{QStringLiteral("--format"), QStringLiteral("json")}, out, out), 0);
        std::rewind(out);
        char buffer[1024] = {};
        const size_t read = std::fread(buffer, 1, sizeof buffer - 1, out);
        EXPECT_NE(QByteArray(buffer, qsizetype(read)).indexOf("\"verdict\":\"proved\""), -1) << buffer;
        std::fclose(out);
    }
}

TEST(Prove, GivesTheSameAnswerOnAnyNumberOfThreads)
{
    // Under codes the transmitter's sets are numbered as the search meets
    // them, on whichever thread; the answer must not show it.
    ProofChoices choices;
    choices.latencySteps = 200;
    std::optional<ProofAnswer> first;
    for (int jobs : {1, 2, 3}) {
        choices.jobs = jobs;
        const auto question = questionOf(QStringLiteral(EXAMPLES_DIR "/decoder-prove.bench"), choices);
        ASSERT_TRUE(question.has_value()) << question.error().toStdString();
        const auto answer = Prove(*question);
        ASSERT_TRUE(answer.has_value() && answer->counterexample) << jobs;
        if (!first) {
            first = *answer;
            continue;
        }
        EXPECT_EQ(answer->states, first->states) << jobs;
        EXPECT_EQ(answer->counterexample->inputs, first->counterexample->inputs) << jobs;
        EXPECT_EQ(answer->counterexample->faults.size(), first->counterexample->faults.size()) << jobs;
    }
}

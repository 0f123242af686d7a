#include "check/BenchParser.h"
#include "check/LoadedBench.h"
#include "model/ModelFile.h"
#include "sim/RunSession.h"
#include "analysis/FaultCampaign.h"
#include "tools/FaultReport.h"
#include "tests/support/RandomDevice.h"

#include <QTemporaryDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <random>

namespace {

SharedModel load(const QString &path)
{
    auto model = LoadSharedModel(path);
    EXPECT_TRUE(model.has_value()) << (model ? "" : model.error().toStdString());
    return model ? *model : nullptr;
}

const FaultOutcome *find(const std::vector<FaultOutcome> &outcomes, int element, int kind, int code, int output)
{
    for (const FaultOutcome &o : outcomes)
        if (o.faults.size() == 1 && o.faults[0].element == element && o.faults[0].kind == kind && o.code == code
            && o.output == output)
            return &o;
    return nullptr;
}

// The outputs of one separate run with the given faults from step `at`.
std::vector<std::vector<int>> separateRun(const SharedModel &model, int16_t code, qint64 at,
                                          const std::vector<InjectedFault> &faults)
{
    RunSession session(model);
    RunScenario scenario;
    scenario.code = code;
    scenario.steps = 300;
    for (const InjectedFault &fault : faults)
        scenario.faults.append({at, fault.element, fault.kind});
    EXPECT_TRUE(session.setUp(scenario, false).has_value());
    session.start();
    std::vector<std::vector<int>> outputs;
    while (session.step()) {
        std::vector<int> row;
        for (int j = 1; j <= session.state().OutCount; ++j)
            row.push_back(session.state().now().OutState[j][1]);
        outputs.push_back(row);
    }
    return outputs;
}

} // namespace

// Facts of the decoder that its description states: code 1 lights ЛКЖ at
// step 75, code 2 lights ЛЖЗ at 54. A relay on the way that loses its feed
// takes the light away from that very step.
TEST(FaultCampaign, DecoderRelaysThatLoseTheirFeedPutTheLightOut)
{
    const SharedModel model = load(QStringLiteral(EXAMPLES_DIR "/decoder"));
    ASSERT_TRUE(model);
    CampaignPlan plan;
    plan.scenario.timingFile = QStringLiteral(EXAMPLES_DIR "/decoder.tim");
    plan.scenario = *ReadScenarioFiles(plan.scenario, model->definition.ElemCount);
    plan.scenario.steps = 300;
    plan.codes = {1, 2};
    plan.jobs = 2;
    const std::vector<FaultOutcome> outcomes = RunFaultCampaign(model, plan);
    ASSERT_EQ(outcomes.size(), size_t(2 * 12 * 2)); // codes × (6 elements × 2 kinds) × outputs

    struct Row { int element; int code; int output; qint64 step; };
    const Row rows[] = {
        // element (1 И, 2 Б, 6 КЖ), code, output (1 ЛКЖ, 2 ЛЖЗ), first step
        {1, 1, 1, 75}, {2, 1, 1, 75}, {6, 1, 1, 75},
        {1, 2, 2, 54}, {2, 2, 2, 54},
    };
    for (const Row &row : rows) {
        const FaultOutcome *outcome = find(outcomes, row.element, 1, row.code, row.output);
        ASSERT_NE(outcome, nullptr);
        EXPECT_EQ(outcome->effect, FaultEffect::Lost) << "element " << row.element << " code " << row.code;
        EXPECT_EQ(outcome->firstStep, row.step) << "element " << row.element << " code " << row.code;
    }
}

// Whatever the number of threads, a campaign equals separate single runs,
// fault by fault, on random devices, singles and pairs alike.
TEST(FaultCampaign, EqualsSeparateRunsWhateverTheThreads)
{
    QTemporaryDir dir;
    std::mt19937 random(20261207);
    int differing = 0;
    for (int m = 0; m < 6; ++m) {
        const QString path = dir.filePath(QStringLiteral("m%1").arg(m));
        ASSERT_TRUE(WriteModelFile(path + QStringLiteral(".mod"), randomModel(random, 6)));
        const SharedModel model = load(path);
        ASSERT_TRUE(model);

        CampaignPlan plan;
        plan.scenario.steps = 300;
        plan.codes = {0, 2};
        plan.pairs = true;
        plan.at = 7;
        plan.jobs = 1;
        const std::vector<FaultOutcome> one = RunFaultCampaign(model, plan);
        plan.jobs = 3;
        const std::vector<FaultOutcome> three = RunFaultCampaign(model, plan);
        ASSERT_EQ(one.size(), three.size());

        const int outCount = model->definition.OutCount;
        std::map<int16_t, std::vector<std::vector<int>>> baselines;
        for (int16_t code : plan.codes)
            baselines[code] = separateRun(model, code, plan.at, {});
        for (size_t k = 0; k < one.size(); k += size_t(outCount)) {
            const auto faulty = separateRun(model, one[k].code, plan.at, one[k].faults);
            const auto &base = baselines[one[k].code];
            for (int j = 0; j < outCount; ++j) {
                const FaultOutcome &a = one[k + size_t(j)];
                const FaultOutcome &b = three[k + size_t(j)];
                EXPECT_EQ(a.effect, b.effect);
                EXPECT_EQ(a.firstStep, b.firstStep);
                bool lost = false, spurious = false;
                qint64 first = 0;
                for (size_t s = 0; s < base.size(); ++s)
                    if (base[s][size_t(j)] != faulty[s][size_t(j)]) {
                        first = first ? first : qint64(s) + 1;
                        (faulty[s][size_t(j)] ? spurious : lost) = true;
                    }
                const FaultEffect expected = lost && spurious ? FaultEffect::Both
                                             : spurious      ? FaultEffect::Spurious
                                             : lost          ? FaultEffect::Lost
                                                             : FaultEffect::None;
                ASSERT_EQ(a.effect, expected) << "model " << m << " outcome " << k + size_t(j);
                ASSERT_EQ(a.firstStep, first) << "model " << m << " outcome " << k + size_t(j);
                ASSERT_GE(first, lost || spurious ? plan.at : 0);
                differing += a.effect != FaultEffect::None;
            }
        }
    }
    EXPECT_GT(differing, 50); // the devices really react to their faults
}

namespace {

const FaultOutcome *findRun(const std::vector<FaultOutcome> &outcomes, const std::vector<InjectedFault> &faults,
                            int code)
{
    for (const FaultOutcome &o : outcomes)
        if (o.code == code && o.faults.size() == faults.size()
            && std::ranges::all_of(faults, [&](const InjectedFault &f) {
                   return std::ranges::any_of(o.faults, [&](const InjectedFault &g) {
                       return g.element == f.element && g.kind == f.kind;
                   });
               }))
            return &o;
    return nullptr;
}

QString textReport(const std::vector<FaultOutcome> &outcomes, const ModelDefinition &model)
{
    QTemporaryFile file;
    EXPECT_TRUE(file.open());
    std::FILE *out = std::fopen(file.fileName().toLocal8Bit().constData(), "wb");
    WriteFaultReport(ReportLines(model, outcomes), FaultReportFormat::Text, out, {true, false});
    std::fclose(out);
    return QString::fromUtf8(file.readAll());
}

} // namespace

// Verdicts worked out by hand from the decoder's functions and timing (all
// pickups 0.01 s but КЖ 0.70 s; code 1 lights ЛКЖ at step 75 in the
// fault-free run) and from a two-relay device whose lamp Л (level 3) needs
// both relays: one stray feed alone only moves a plain output or a relay,
// the two together light Л under «Нет кода».
TEST(FaultCampaign, JudgesFaultsByWhatTheDriverIsShown)
{
    QTemporaryDir dir;
    ModelText twoRelays;
    twoRelays.name = QStringLiteral("два реле");
    twoRelays.elements = {{QStringLiteral("А"), QStringLiteral("p")}, {QStringLiteral("Б"), QStringLiteral("p")}};
    twoRelays.outputs = {{QStringLiteral("Л"), QStringLiteral("А*Б")}, {QStringLiteral("Х"), QStringLiteral("А*-Б")}};
    ASSERT_TRUE(WriteModelFile(dir.filePath(QStringLiteral("two.mod")), twoRelays));

    struct Device
    {
        SharedModel model;
        QString timing;
        OutputLevels levels;
    };
    Device decoder{load(QStringLiteral(EXAMPLES_DIR "/decoder")), QStringLiteral(EXAMPLES_DIR "/decoder.tim"), {}};
    decoder.levels.of[1] = 1; // ЛКЖ
    decoder.levels.of[2] = 2; // ЛЖЗ
    Device two{load(dir.filePath(QStringLiteral("two"))), {}, {}};
    two.levels.of[1] = 3; // Л; Х stays a plain output
    ASSERT_TRUE(decoder.model && two.model);

    const auto campaign = [](const Device &device, QList<int16_t> codes) {
        CampaignPlan plan;
        plan.scenario.timingFile = device.timing;
        plan.scenario = *ReadScenarioFiles(plan.scenario, device.model->definition.ElemCount);
        plan.scenario.steps = 300;
        plan.codes = codes;
        plan.pairs = true;
        plan.levels = device.levels;
        plan.jobs = 2;
        return RunFaultCampaign(device.model, plan);
    };
    const std::vector<FaultOutcome> ofDecoder = campaign(decoder, {0, 1});
    const std::vector<FaultOutcome> ofTwo = campaign(two, {0});

    enum : uint8_t { Break = 1, Feed = 2 };
    struct Row
    {
        const char *what;
        const std::vector<FaultOutcome> *outcomes;
        std::vector<InjectedFault> faults;
        int code;
        Safety safety;
        qint64 step; // 0: not stated
        int shown, warranted, latentElement;
        qint64 latentStep;
    };
    const Row rows[] = {
        // Decoder elements: 1 И, 2 Б, 3 Д, 4 П, 5 ЖЗ, 6 КЖ. A stray feed that
        // reaches КЖ lights ЛКЖ 0.70 s after it: КЖ itself at 71, through Б
        // at 73, through И and Б at 75.
        {"feed on И, no code", &ofDecoder, {{1, Feed}}, 0, Safety::WrongSide, 75, 1, 0, 0, 0},
        {"feed on Б, no code", &ofDecoder, {{2, Feed}}, 0, Safety::WrongSide, 73, 1, 0, 0, 0},
        {"feed on КЖ, no code", &ofDecoder, {{6, Feed}}, 0, Safety::WrongSide, 71, 1, 0, 0, 0},
        // П held up: the first pulse picks ЖЗ at step 4 with Б up, ЛЖЗ lit.
        {"feed on П, code 1", &ofDecoder, {{4, Feed}}, 1, Safety::WrongSide, 4, 2, 1, 0, 0},
        {"break of И, code 1", &ofDecoder, {{1, Break}}, 1, Safety::RightSide, 75, 0, 0, 0, 0},
        // ЛКЖ two steps early: code 1 warrants it.
        {"feed on Б, code 1", &ofDecoder, {{2, Feed}}, 1, Safety::Changed, 73, 0, 0, 0, 0},
        // Д up without a code moves only П: no lamp.
        {"feed on Д, no code", &ofDecoder, {{3, Feed}}, 0, Safety::None, 0, 0, 0, 3, 2},
        {"feed on А alone", &ofTwo, {{1, Feed}}, 0, Safety::Changed, 0, 0, 0, 0, 0},
        {"feed on Б alone", &ofTwo, {{2, Feed}}, 0, Safety::None, 0, 0, 0, 2, 0},
        {"feeds on both", &ofTwo, {{1, Feed}, {2, Feed}}, 0, Safety::WrongSide, 0, 3, 0, 0, 0},
        {"feed and break", &ofTwo, {{1, Feed}, {2, Break}}, 0, Safety::Changed, 0, 0, 0, 0, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const FaultOutcome *outcome = findRun(*row.outcomes, row.faults, row.code);
        ASSERT_NE(outcome, nullptr);
        const SafetyVerdict &verdict = outcome->verdict;
        EXPECT_EQ(verdict.safety, row.safety);
        if (row.step) {
            EXPECT_EQ(verdict.step, row.step);
        }
        if (row.safety == Safety::WrongSide) {
            EXPECT_EQ(verdict.shown, row.shown);
            EXPECT_EQ(verdict.warranted, row.warranted);
        }
        EXPECT_EQ(verdict.latentElement, row.latentElement);
        if (row.latentStep) {
            EXPECT_EQ(verdict.latentStep, row.latentStep);
        }
    }

    // Of the four pairs of the two relays under «Нет кода», only the two
    // feeds are wrong-side, and neither feed alone is: the report lists that
    // pair and counts the three others away.
    const QString report = textReport(ofTwo, two.model->definition);
    EXPECT_TRUE(report.contains(QStringLiteral("А (1) подпитка + Б (2) подпитка; код 0: с шага"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("Не показано пар: 3 "))) << report.toStdString();

    // A pair with the feed on И follows from that feed, which lights ЛКЖ
    // under «Нет кода» by itself: the report counts it away.
    const QString ofDecoderReport = textReport(ofDecoder, decoder.model->definition);
    for (const QString &line : ofDecoderReport.split(u'\n'))
        EXPECT_FALSE(line.contains(QStringLiteral(" + ")) && line.contains(QStringLiteral("И (1) подпитка"))
                     && line.contains(QStringLiteral("код 0")))
            << line.toStdString();
}

// On random devices, random levels and a scenario whose code changes and
// then gives way to a constant input, every verdict equals the one a plain
// reading of the rules gives from two separate runs, with and without the
// fault.
TEST(FaultCampaign, VerdictsEqualTheRulesAppliedToSeparateRuns)
{
    QTemporaryDir dir;
    std::mt19937 random(20261208);
    constexpr qint64 CodeChange = 120, ConstantFrom = 220;
    int judged[4] = {};
    int latent = 0;
    for (int m = 0; m < 12; ++m) {
        const QString path = dir.filePath(QStringLiteral("v%1").arg(m));
        ASSERT_TRUE(WriteModelFile(path + QStringLiteral(".mod"), randomModel(random, 6)));
        const SharedModel model = load(path);
        ASSERT_TRUE(model);
        CampaignPlan plan;
        plan.scenario.steps = 300;
        plan.scenario.keys = {{CodeChange, QStringLiteral("!")}, {ConstantFrom, QStringLiteral("1")}};
        plan.codes = {0, 3};
        plan.pairs = m % 2 == 1;
        plan.at = 5;
        plan.jobs = 2;
        for (int j = 1; j <= model->definition.OutCount; ++j)
            plan.levels.of[size_t(j)] = int8_t( // the first output always an indication
                std::uniform_int_distribution<int>(j == 1 ? 0 : -1, 3)(random));
        const std::vector<FaultOutcome> outcomes = RunFaultCampaign(model, plan);

        // One run's outputs and element states, bit j and bit i, step by step.
        const auto trace = [&](int16_t code, const std::vector<InjectedFault> &faults) {
            RunSession session(model);
            RunScenario scenario = plan.scenario;
            scenario.code = code;
            for (const InjectedFault &fault : faults)
                scenario.faults.append({plan.at, fault.element, fault.kind});
            EXPECT_TRUE(session.setUp(scenario, false).has_value());
            session.start();
            std::vector<std::pair<unsigned, unsigned>> steps;
            while (session.step()) {
                unsigned outputs = 0, elements = 0;
                for (int j = 1; j <= session.state().OutCount; ++j)
                    outputs |= unsigned(session.state().now().OutState[j][1] != 0) << j;
                for (int i = 1; i <= session.state().ElemCount; ++i)
                    elements |= unsigned(session.state().now().ElemState[i][1] != 0) << i;
                steps.emplace_back(outputs, elements);
            }
            return steps;
        };
        const auto shown = [&](unsigned outputs) {
            int level = 0;
            for (int j = 1; j <= model->definition.OutCount; ++j)
                if ((outputs >> j) & 1)
                    level = std::max<int>(level, plan.levels.of[size_t(j)]);
            return level;
        };
        const size_t outCount = size_t(model->definition.OutCount);
        for (size_t k = 0; k < outcomes.size(); k += outCount) {
            const FaultOutcome &outcome = outcomes[k];
            const auto base = trace(outcome.code, {});
            const auto faulty = trace(outcome.code, outcome.faults);
            ASSERT_EQ(base.size(), faulty.size());
            qint64 above = 0, below = 0, differs = 0, elementStep = 0;
            int elementDiffering = 0;
            for (size_t s = 0; s < base.size(); ++s) {
                const qint64 step = qint64(s) + 1;
                const int code = step >= ConstantFrom ? 0 : step >= CodeChange ? 1 : outcome.code;
                const int warranted = std::max(code, shown(base[s].first));
                if (!above && shown(faulty[s].first) > warranted)
                    above = step;
                if (!below && shown(faulty[s].first) < shown(base[s].first))
                    below = step;
                if (!differs && base[s].first != faulty[s].first)
                    differs = step;
                const unsigned elementDiff = base[s].second ^ faulty[s].second;
                if (!elementStep && elementDiff) {
                    elementStep = step;
                    elementDiffering = std::countr_zero(elementDiff);
                }
            }
            const Safety expected = above ? Safety::WrongSide : below ? Safety::RightSide
                                    : differs ? Safety::Changed : Safety::None;
            const SafetyVerdict &verdict = outcome.verdict;
            ASSERT_EQ(verdict.safety, expected) << "model " << m << " run " << k / outCount;
            ASSERT_EQ(verdict.step, above ? above : below ? below : differs) << "model " << m << " run " << k / outCount;
            ASSERT_EQ(verdict.latentElement, expected == Safety::None ? elementDiffering : 0);
            ASSERT_EQ(verdict.latentStep, expected == Safety::None ? elementStep : 0);
            if (above) {
                ASSERT_EQ(verdict.warranted, std::max(above >= ConstantFrom ? 0 : above >= CodeChange ? 1 : outcome.code,
                                                      shown(base[size_t(above - 1)].first)));
            }
            ++judged[size_t(expected)];
            latent += verdict.latent();
        }
    }
    // The devices meet every verdict.
    for (int count : judged)
        EXPECT_GT(count, 5) << judged[0] << " " << judged[1] << " " << judged[2] << " " << judged[3] << " latent " << latent;
    EXPECT_GT(latent, 5);
}

// A campaign over a range of injection steps keeps, for each fault and code,
// the run of the earliest step whose verdict is the worst of the range, as
// single-step campaigns at each step of the range find them.
TEST(FaultCampaign, InjectionRangeKeepsTheEarliestWorstOfTheSingleSteps)
{
    const QString path = QStringLiteral(EXAMPLES_DIR "/decoder");
    const SharedModel model = load(path);
    ASSERT_TRUE(model);
    const std::expected<Bench, BenchError> bench = ReadBenchFile(path + QStringLiteral(".bench"));
    ASSERT_TRUE(bench.has_value());
    const std::expected<OutputLevels, QString> levels = ResolveLevels(*bench, model->definition);
    ASSERT_TRUE(levels.has_value());
    CampaignPlan plan;
    plan.scenario.timingFile = path + QStringLiteral(".tim");
    plan.scenario = *ReadScenarioFiles(plan.scenario, model->definition.ElemCount);
    plan.scenario.steps = 160;
    plan.levels = *levels;
    plan.jobs = 2;
    constexpr qint64 First = 20, Last = 40;

    // Harmless to dangerous, latent above none.
    const auto rank = [](const SafetyVerdict &v) {
        return v.safety == Safety::None ? (v.latent() ? 1 : 0) : int(v.safety) + 1;
    };
    std::vector<FaultOutcome> expected;
    for (qint64 at = First; at <= Last; ++at) {
        plan.at = at;
        const std::vector<FaultOutcome> single = RunFaultCampaign(model, plan);
        if (expected.empty())
            expected = single;
        for (size_t k = 0; k < single.size(); ++k)
            if (rank(single[k].verdict) > rank(expected[k].verdict))
                expected[k] = single[k];
    }
    plan.at = First;
    plan.atLast = Last;
    const std::vector<FaultOutcome> ranged = RunFaultCampaign(model, plan);
    ASSERT_EQ(ranged.size(), expected.size());
    bool anyLater = false;
    for (size_t k = 0; k < ranged.size(); ++k) {
        const FaultOutcome &r = ranged[k], &e = expected[k];
        SCOPED_TRACE(testing::Message() << "outcome " << k << ", element " << e.faults[0].element << " kind "
                                        << int(e.faults[0].kind) << " code " << e.code << " output " << e.output);
        EXPECT_EQ(r.at, e.at);
        EXPECT_EQ(r.verdict.safety, e.verdict.safety);
        EXPECT_EQ(r.verdict.step, e.verdict.step);
        EXPECT_EQ(r.verdict.latentElement, e.verdict.latentElement);
        EXPECT_EQ(r.effect, e.effect);
        EXPECT_EQ(r.firstStep, e.firstStep);
        anyLater = anyLater || e.at > First;
    }
    // Otherwise the range would not be told from its first step.
    EXPECT_TRUE(anyLater);
}

#include "model/ModelFile.h"
#include "sim/RunSession.h"
#include "analysis/FaultCampaign.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

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

// Random devices of up to six relays over names that also run into each
// other and into "p", so the campaign meets the odd readings too.
ModelText randomModel(std::mt19937 &random)
{
    const QStringList names = {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("АБ"),
                               QStringLiteral("В"), QStringLiteral("Г"), QStringLiteral("Д")};
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const auto function = [&] {
        QStringList terms;
        for (int t = pick(1, 3); t > 0; --t) {
            QStringList operands;
            for (int o = pick(1, 3); o > 0; --o) {
                const int n = pick(0, int(names.size()));
                operands << (pick(0, 2) == 0 ? QStringLiteral("-") : QString())
                                + (n == names.size() ? QStringLiteral("p") : names[n]);
            }
            terms << operands.join(QLatin1Char('*'));
        }
        return terms.join(QLatin1Char('+'));
    };
    ModelText model;
    model.name = QStringLiteral("случайная");
    for (int i = 0, count = pick(2, 6); i < count; ++i)
        model.elements.append({names[i], function()});
    for (int j = 0, count = pick(1, 3); j < count; ++j)
        model.outputs.append({QStringLiteral("ВЫХ%1").arg(j + 1), function()});
    return model;
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
            row.push_back(session.state().OutState[j][1]);
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
        ASSERT_TRUE(WriteModelFile(path + QStringLiteral(".mod"), randomModel(random)));
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

#include "analysis/FaultCampaign.h"
#include "model/ContactFault.h"
#include "model/ModelFile.h"
#include "sim/RunSession.h"
#include "tests/support/RandomDevice.h"

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

std::vector<std::vector<int>> outputsOfRun(const SharedModel &model, const RunScenario &base, int16_t code, qint64 at,
                                           const std::vector<InjectedFault> &faults)
{
    RunSession session(model);
    RunScenario scenario = base;
    scenario.code = code;
    for (const InjectedFault &fault : faults)
        scenario.faults.append({at, fault.element, fault.kind, fault.contact});
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

// Random relay devices; the campaign settles most contact faults from the
// fault-free run alone, and must still say what a run of each fault shows.
TEST(ContactCampaign, EqualsSeparateRunsOfEveryContactFault)
{
    QTemporaryDir dir;
    std::mt19937 random(20261208);
    const QStringList names = {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В"), QStringLiteral("Г")};
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const auto function = [&] { return randomFunction(random, names); };
    int differing = 0;
    for (int m = 0; m < 8; ++m) {
        ModelText text;
        text.name = QStringLiteral("случайная");
        for (const QString &name : names)
            text.elements.append({name, function()});
        for (int j = 1, count = pick(1, 2); j <= count; ++j)
            text.outputs.append({QStringLiteral("ВЫХ%1").arg(j), function()});
        const QString path = dir.filePath(QStringLiteral("m%1").arg(m));
        ASSERT_TRUE(WriteModelFile(path + QStringLiteral(".mod"), text));
        const SharedModel model = load(path);
        ASSERT_TRUE(model);

        CampaignPlan plan;
        plan.scenario.steps = 250;
        plan.codes = {1, 3};
        plan.contacts = true;
        plan.pairs = m == 0;
        plan.at = 30;
        plan.jobs = 2;
        for (int j = 1; j <= model->definition.OutCount; ++j)
            plan.levels.of[size_t(j)] = int8_t(pick(-1, 3));
        const std::vector<FaultOutcome> outcomes = RunFaultCampaign(model, plan);
        const int outCount = model->definition.OutCount;
        ASSERT_FALSE(outcomes.empty());
        for (size_t k = 0; k < outcomes.size(); k += size_t(outCount)) {
            // The verdict too, against the judgement of two plain runs.
            RunScenario faultFree = plan.scenario, withFaults = plan.scenario;
            faultFree.code = withFaults.code = outcomes[k].code;
            for (const InjectedFault &fault : outcomes[k].faults)
                withFaults.faults.append({plan.at, fault.element, fault.kind, fault.contact});
            const SafetyVerdict verdict = JudgeFaultyRun(model, faultFree, withFaults, plan.levels);
            ASSERT_EQ(outcomes[k].verdict.safety, verdict.safety) << "model " << m << " outcome " << k;
            ASSERT_EQ(outcomes[k].verdict.step, verdict.step) << "model " << m << " outcome " << k;
            ASSERT_EQ(outcomes[k].verdict.latentElement, verdict.latentElement) << "model " << m << " outcome " << k;
            const auto base = outputsOfRun(model, plan.scenario, outcomes[k].code, plan.at, {});
            const auto faulty = outputsOfRun(model, plan.scenario, outcomes[k].code, plan.at, outcomes[k].faults);
            for (int j = 0; j < outCount; ++j) {
                bool lost = false, spurious = false;
                qint64 first = 0;
                for (size_t s = 0; s < base.size(); ++s)
                    if (base[s][size_t(j)] != faulty[s][size_t(j)]) {
                        first = first ? first : qint64(s) + 1;
                        (faulty[s][size_t(j)] ? spurious : lost) = true;
                    }
                const FaultOutcome &outcome = outcomes[k + size_t(j)];
                const FaultEffect expected = lost && spurious ? FaultEffect::Both
                                             : spurious      ? FaultEffect::Spurious
                                             : lost          ? FaultEffect::Lost
                                                             : FaultEffect::None;
                ASSERT_EQ(outcome.effect, expected) << "model " << m << " outcome " << k + size_t(j);
                ASSERT_EQ(outcome.firstStep, first) << "model " << m << " outcome " << k + size_t(j);
                differing += outcome.faults.front().contact != 0 && expected != FaultEffect::None;
            }
        }
    }
    EXPECT_GT(differing, 30); // contact faults really show
}

// Code present (КОД=Б*Б2): under code 1 the input is in an interval at
// step 200. With the front contact of И in ИП's function welded from there,
// ИП is excited at step 200 and up at 201; Б2=-ИП loses its feed at 202 and
// drops 60 steps later, so КОД goes out at 262: the stuck track relay reads
// as no code. Without Б2 (КОД=Б) Б stays up and КОД stays lit: the hole Б2
// closes.
TEST(ContactCampaign, CodePresentTurnsAWeldedTrackRelayContactIntoNoCode)
{
    QTemporaryDir dir;
    const QString withoutB2 = dir.filePath(QStringLiteral("no-b2"));
    struct Case
    {
        QString modelPath;
        FaultEffect effect;
        qint64 firstStep;
    };
    ModelText variant;
    variant.name = QStringLiteral("Без Б2");
    variant.elements = {{QStringLiteral("И"), QStringLiteral("p")}, {QStringLiteral("ИП"), QStringLiteral("И")},
                        {QStringLiteral("Б"), QStringLiteral("ИП")}, {QStringLiteral("Б2"), QStringLiteral("-ИП")}};
    variant.outputs = {{QStringLiteral("КОД"), QStringLiteral("Б")}};
    ASSERT_TRUE(WriteModelFile(withoutB2 + QStringLiteral(".mod"), variant));
    const Case cases[] = {
        {QStringLiteral(EXAMPLES_DIR "/code-present"), FaultEffect::Lost, 262},
        {withoutB2, FaultEffect::None, 0},
    };
    for (const Case &c : cases) {
        const SharedModel model = load(c.modelPath);
        ASSERT_TRUE(model);
        CampaignPlan plan;
        plan.scenario.timingFile = QStringLiteral(EXAMPLES_DIR "/code-present.tim");
        plan.scenario = *ReadScenarioFiles(plan.scenario, model->definition.ElemCount);
        plan.codes = {1};
        plan.contacts = true;
        plan.at = 200;
        const std::vector<Contact> contacts = ModelContacts(model->definition);
        const std::expected<int, QString> welded = FindContact(model->definition, contacts, QStringLiteral("ИП/1/И"));
        ASSERT_TRUE(welded.has_value());
        const std::vector<FaultOutcome> outcomes = RunFaultCampaign(model, plan);
        const auto found = std::ranges::find_if(outcomes, [&](const FaultOutcome &o) {
            return o.faults.size() == 1 && o.faults[0].contact == *welded && o.faults[0].kind == ContactWelded;
        });
        ASSERT_NE(found, outcomes.end());
        EXPECT_EQ(found->effect, c.effect) << c.modelPath.toStdString();
        EXPECT_EQ(found->firstStep, c.firstStep) << c.modelPath.toStdString();
    }
}

} // namespace

#include "BenchFaultCampaign.h"
#include "MarginSweep.h"
#include "ModelFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void writeFile(const QString &path, const QByteArray &text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// One relay on the input, К=p, with a pickup of 0.2 s, and ВЫХ=К. A constant
// 1 from step 15 excites К at step 15; a pickup of k hundredths brings it up
// k steps later, so ВЫХ rises at step 15 + k. The bench wants that rise in
// steps 25..45 and ВЫХ down before step 25.
LoadedBench relayBench(const QTemporaryDir &dir)
{
    const QString model = dir.filePath(QStringLiteral("relay"));
    QString error;
    EXPECT_TRUE(WriteModelFile(model + QStringLiteral(".mod"),
                               ModelText{QStringLiteral("Реле"),
                                         {{QStringLiteral("К"), QStringLiteral("p")}},
                                         {{QStringLiteral("ВЫХ"), QStringLiteral("К")}}},
                               &error));
    writeFile(dir.filePath(QStringLiteral("relay.tim")), "0.2\r\n0.01\r\n100\r\n");
    writeFile(dir.filePath(QStringLiteral("relay.bench")),
              "модель relay.mod\nвремена relay.tim\n"
              "сценарий Постоянная 1 с шага 15\nклавиша 15 1\n"
              "ожидать ВЫХ поднимается на 25..45\nожидать ВЫХ = 0 на 1..24\n");
    std::expected<LoadedBench, QString> bench = LoadBench(dir.filePath(QStringLiteral("relay.bench")));
    EXPECT_TRUE(bench.has_value()) << (bench ? "" : bench.error().toStdString());
    return bench ? *bench : LoadedBench{};
}

} // namespace

TEST(MarginSweep, VaryParsesGoodFormsAndNamesWhatIsWrongWithBadOnes)
{
    struct Case
    {
        const char *text;
        int count;          // 0: refused
        bool seconds;
        const char *reason; // part of the message when refused
    };
    const Case cases[] = {
        {"code-times=80..120/5", 9, false, ""},
        {"code2-times=90..110/10%", 3, false, ""},
        {"pickup:П1=0.1..0.5/0.1s", 5, true, ""},
        {"release:*=0,5s..1,5s/0,5s", 3, true, ""},
        {"release:Д=1..2/0.3", 4, false, ""}, // 1, 1.3, 1.6, 1.9
        {"pickup:К=100..100/1", 1, false, ""},
        {"code-times=120..80/5", 0, false, "ОТ больше ДО"},
        {"code-times=80..120/0", 0, false, "ШАГ должен быть больше 0"},
        {"code-times=80..120/-5", 0, false, "ШАГ должен быть больше 0"},
        {"code-times=1..20000/1", 0, false, "больше 10000 точек"},
        {"code-times=0..100/10", 0, false, "больше 0"},
        {"release:Д=-0.1..0.5/0.1s", 0, false, "меньше 0"},
        {"code-times=80..120/5s", 0, false, "в процентах"},
        {"pickup:К=10%..20s/1", 0, false, "смешаны"},
        {"code4-times=80..120/5", 0, false, "нужно code-times"},
        {"pickup:=80..120/5", 0, false, "нужно code-times"},
        {"code-times", 0, false, "нужно code-times"},
        {"code-times=80-120/5", 0, false, "ОТ..ДО/ШАГ"},
        {"code-times=a..120/5", 0, false, "числами"},
    };
    for (const Case &c : cases) {
        const std::expected<SweepAxis, QString> axis = ParseSweepAxis(QString::fromUtf8(c.text));
        if (c.count == 0) {
            ASSERT_FALSE(axis.has_value()) << c.text;
            EXPECT_TRUE(axis.error().contains(QString::fromUtf8(c.reason))) << axis.error().toStdString();
            continue;
        }
        ASSERT_TRUE(axis.has_value()) << c.text << ": " << axis.error().toStdString();
        EXPECT_EQ(axis->count, c.count) << c.text;
        EXPECT_EQ(axis->seconds, c.seconds) << c.text;
    }
}

// The relay passes for pickups of 10..30 hundredths: at 5 ВЫХ is up at step
// 20, where it must still be 0; at 35 it rises only at step 50. In per cent of
// the nominal 0.2 s: 25 % is 0.05 s and 175 % is 0.35 s.
TEST(MarginSweep, MarginsOfAPickupFollowFromTheStepRule)
{
    QTemporaryDir dir;
    const LoadedBench bench = relayBench(dir);
    ASSERT_TRUE(bench.model);
    struct Case
    {
        const char *vary;
        double below, above; // the failing values next to nominal
        int passing;
    };
    const Case cases[] = {
        {"pickup:К=0.05..0.5/0.05s", 0.05, 0.35, 5},
        {"pickup:К=25..250/25", 25, 175, 5},
    };
    for (const Case &c : cases) {
        SweepAxis axis = *ParseSweepAxis(QString::fromUtf8(c.vary));
        ASSERT_TRUE(BindSweepAxis(axis, bench).has_value());
        ASSERT_TRUE(axis.nominal.has_value());
        SweepPlan plan;
        plan.axes = {axis};
        plan.jobs = 2;
        const std::expected<std::vector<SweepPoint>, QString> points = RunMarginSweep(bench, plan);
        ASSERT_TRUE(points.has_value()) << points.error().toStdString();
        EXPECT_EQ(std::ranges::count_if(*points, [](const SweepPoint &p) { return !p.failure; }), c.passing) << c.vary;

        const std::optional<SweepMargin> margin = MarginOf(plan.axes, *points, 0);
        ASSERT_TRUE(margin && margin->below && margin->above) << c.vary;
        EXPECT_FALSE(margin->nominalFails);
        EXPECT_DOUBLE_EQ(axis.value(*margin->below), c.below) << c.vary;
        EXPECT_DOUBLE_EQ(axis.value(*margin->above), c.above) << c.vary;
        const SweepFailure &low = *(*points)[size_t(*margin->below)].failure;
        const SweepFailure &high = *(*points)[size_t(*margin->above)].failure;
        EXPECT_EQ(low.expectation.toStdString(), "ВЫХ = 0 на 1..24");
        EXPECT_EQ(low.step, 20);
        EXPECT_EQ(high.expectation.toStdString(), "ВЫХ поднимается на 25..45");
        EXPECT_EQ(high.step, 50);
    }
}

// A break of К keeps ВЫХ down: the rise awaited in 25..45 never comes, which
// is placed at the range's end, step 45. A feed excites К from step 1, so ВЫХ
// is up at 1 + 20 = 21, where it must still be 0.
TEST(MarginSweep, BenchCampaignNamesTheExpectationEachFaultBreaksFirst)
{
    QTemporaryDir dir;
    const LoadedBench bench = relayBench(dir);
    ASSERT_TRUE(bench.model);
    CampaignPlan plan;
    plan.jobs = 2;
    const std::expected<std::vector<BenchFaultOutcome>, QString> outcomes = RunBenchFaultCampaign(bench, plan);
    ASSERT_TRUE(outcomes.has_value()) << outcomes.error().toStdString();
    ASSERT_EQ(outcomes->size(), size_t(2));
    struct Row { int kind; const char *expectation; qint64 step; };
    const Row rows[] = {{1, "ВЫХ поднимается на 25..45", 45}, {2, "ВЫХ = 0 на 1..24", 21}};
    for (size_t k = 0; k < 2; ++k) {
        const BenchFaultOutcome &outcome = (*outcomes)[k];
        ASSERT_EQ(outcome.faults.size(), size_t(1));
        EXPECT_EQ(outcome.faults[0].kind, rows[k].kind);
        ASSERT_TRUE(outcome.failure.has_value()) << "kind " << rows[k].kind;
        EXPECT_EQ(outcome.failure->expectation.text.toStdString(), rows[k].expectation);
        EXPECT_EQ(outcome.failure->step, rows[k].step);
    }
}

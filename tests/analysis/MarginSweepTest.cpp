#include "model/ModelFile.h"
#include "analysis/BenchFaultCampaign.h"
#include "tools/FaultsCommand.h"
#include "analysis/MarginSweep.h"
#include "tools/MergeCommand.h"
#include "tools/SweepCommand.h"

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
    EXPECT_TRUE(WriteModelFile(model + QStringLiteral(".mod"),
                               ModelText{QStringLiteral("Реле"),
                                         {{QStringLiteral("К"), QStringLiteral("p")}},
                                         {{QStringLiteral("ВЫХ"), QStringLiteral("К")}}}));
    writeFile(dir.filePath(QStringLiteral("relay.tim")), "0.2\r\n0.01\r\n100\r\n");
    writeFile(dir.filePath(QStringLiteral("relay.bench")),
              "модель relay.mod\nвремена relay.tim\n"
              "сценарий Постоянная 1 с шага 15\nклавиша 15 1\n"
              "ожидать ВЫХ поднимается на 25..45\nожидать ВЫХ = 0 на 1..24\n");
    std::expected<LoadedBench, QString> bench = LoadBench(dir.filePath(QStringLiteral("relay.bench")));
    EXPECT_TRUE(bench.has_value()) << (bench ? "" : bench.error().toStdString());
    return bench ? *bench : LoadedBench{};
}

struct CommandResult
{
    int status = -1;
    QString err;
};

// Runs a subcommand in process, its output to outFile (or dropped).
CommandResult runCommand(const QStringList &arguments, const QString &outFile = {})
{
    std::FILE *out = outFile.isEmpty() ? std::tmpfile() : std::fopen(outFile.toUtf8().constData(), "w");
    std::FILE *err = std::tmpfile();
    const QString command = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    CommandResult result;
    result.status = command == QLatin1String("sweep")    ? RunSweepCommand(rest, out, err, {})
                    : command == QLatin1String("faults") ? RunFaultsCommand(rest, out, err)
                                                         : RunMergeCommand(rest, out, err);
    std::fclose(out);
    std::rewind(err);
    QByteArray text;
    for (int c; (c = std::fgetc(err)) != EOF;)
        text.append(char(c));
    std::fclose(err);
    result.err = QString::fromUtf8(text);
    return result;
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
        {"pickup:П1=0.1..0.5/0.1с", 5, true, ""}, // the Cyrillic letter, as in the benches
        {"release:Д=0.1s..0.5с/0.1", 5, true, ""},
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
        {"code-times=80..120/5с", 0, false, "в процентах"},
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

// Margins from a made-up pass/fail pattern: the nearest failing values on
// each side, a nominal between two points or outside the range, a failing
// nominal, and in a grid the line through the other axis's nominal.
TEST(MarginSweep, MarginsAreTheNearestFailuresOnEachSideOfNominal)
{
    SweepAxis code = *ParseSweepAxis(QStringLiteral("code-times=80..120/10")); // 80 90 100 110 120
    SweepAxis release = *ParseSweepAxis(QStringLiteral("release:Д=0.1..0.5/0.1s")); // 0.1 .. 0.5
    code.nominal = 100;
    const auto points = [](const QList<SweepAxis> &axes, const std::function<bool(const QList<int> &)> &fails) {
        std::vector<SweepPoint> all;
        for (qint64 k = 0; k < SweepPointCount(axes); ++k) {
            SweepPoint point{SweepPointAt(axes, k), std::nullopt};
            if (fails(point.at))
                point.failure = SweepFailure{};
            all.push_back(point);
        }
        return all;
    };
    struct Case
    {
        const char *name;
        std::optional<double> releaseNominal;
        bool grid;
        int axis;
        std::function<bool(const QList<int> &)> fails;
        std::optional<int> below, above, nominalFails;
        bool noneBelow;
    };
    const Case cases[] = {
        {"line", 0.3, false, 0, [](const QList<int> &at) { return at[0] == 0 || at[0] == 4; }, 0, 4, {}, false},
        {"all pass", 0.3, false, 0, [](const QList<int> &) { return false; }, {}, {}, {}, false},
        {"nominal fails", 0.3, false, 0, [](const QList<int> &at) { return at[0] == 2; }, {}, {}, 2, false},
        {"nominal between points", 0.25, false, 1, [](const QList<int> &at) { return at[0] != 1 && at[0] != 2; }, 0, 3, {}, false},
        {"nominal under the range", 0.05, false, 1, [](const QList<int> &at) { return at[0] >= 3; }, {}, 3, {}, true},
        // Only the row at 0.1 s fails: along 0.3 s the code times never do.
        {"grid, across", 0.3, true, 0, [](const QList<int> &at) { return at[1] == 0; }, {}, {}, {}, false},
        {"grid, up", 0.3, true, 1, [](const QList<int> &at) { return at[1] == 0 && at[0] == 2; }, 0, {}, {}, false},
    };
    for (const Case &c : cases) {
        release.nominal = c.releaseNominal;
        const QList<SweepAxis> axes = c.grid ? QList<SweepAxis>{code, release}
                                             : QList<SweepAxis>{c.axis == 0 ? code : release};
        const int axis = c.grid ? c.axis : 0;
        const std::optional<SweepMargin> margin = MarginOf(axes, points(axes, c.fails), axis);
        ASSERT_TRUE(margin.has_value()) << c.name;
        EXPECT_EQ(margin->below, c.below) << c.name;
        EXPECT_EQ(margin->above, c.above) << c.name;
        EXPECT_EQ(margin->nominalFails, c.nominalFails) << c.name;
        EXPECT_EQ(margin->noneBelow, c.noneBelow) << c.name;
        EXPECT_EQ(margin->along.has_value(), c.grid) << c.name;
    }
    release.nominal.reset();
    EXPECT_FALSE(MarginOf({release}, points({release}, [](const QList<int> &) { return true; }), 0).has_value());
}

// Bad command lines are usage errors (2), files that cannot be used are
// file errors (1), each with a message that says what is wrong.
TEST(MarginSweep, BadSweepsAndMergesSayWhatIsWrong)
{
    QTemporaryDir dir;
    const QString bench = QStringLiteral(EXAMPLES_DIR "/decoder.bench");
    const auto path = [&](const char *name) { return dir.filePath(QString::fromUtf8(name)); };
    ASSERT_TRUE(WriteModelFile(path("empty.mod"), ModelText{QStringLiteral("Пусто"), {}, {}}));
    writeFile(path("empty.bench"), "модель empty.mod\nожидать никогда p\n");
    const QStringList code = {QStringLiteral("--vary"), QStringLiteral("code-times=80..120/10")};
    const QStringList release = {QStringLiteral("--vary"), QStringLiteral("release:Д=0.2..0.4/0.1s")};
    const QStringList sweep = QStringList{QStringLiteral("sweep"), QStringLiteral("--bench"), bench} + code;
    ASSERT_EQ(runCommand(sweep + QStringList{QStringLiteral("--shard"), QStringLiteral("1/2")}, path("a1")).status, 0);
    ASSERT_EQ(runCommand(sweep + QStringList{QStringLiteral("--shard"), QStringLiteral("2/2")}, path("a2")).status, 0);
    ASSERT_EQ(runCommand(sweep + release + QStringList{QStringLiteral("--shard"), QStringLiteral("2/2")}, path("b2")).status, 0);
    ASSERT_EQ(runCommand({QStringLiteral("faults"), QStringLiteral("--bench"), bench, QStringLiteral("--shard"),
                          QStringLiteral("2/2")}, path("f2")).status, 0);

    struct Case
    {
        QStringList arguments;
        int status;
        const char *message;
    };
    const Case cases[] = {
        {{QStringLiteral("sweep")}, 2, "не задан файл испытаний"},
        {{QStringLiteral("sweep"), QStringLiteral("--bench"), bench}, 2, "нужно одно или два --vary"},
        {{QStringLiteral("sweep"), bench}, 2, "нужно одно или два --vary"}, // the bench named alone
        {{QStringLiteral("sweep"), bench, bench}, 2, "файл испытательного стенда, а не модели"},
        {QStringList{QStringLiteral("sweep"), QStringLiteral("--bench"), bench, QStringLiteral("--vary"),
                     QStringLiteral("pickup:Х=50..150/10")}, 2, "элемента «Х» нет в модели"},
        {sweep + QStringList{QStringLiteral("--svg"), path("x.svg")}, 2, "нужно два --vary"},
        {sweep + QStringList{QStringLiteral("--pairs")}, 2, "неизвестный параметр «--pairs»"},
        {QStringList{QStringLiteral("sweep"), QStringLiteral("--bench"), path("none.bench")} + code, 1, "none.bench"},
        {{QStringLiteral("sweep"), QStringLiteral("--bench"), path("empty.bench"), QStringLiteral("--vary"),
          QStringLiteral("release:*=50..150/10")}, 1, "нет элементов"},
        {{QStringLiteral("faults"), QStringLiteral("--bench"), bench, QStringLiteral("--codes"), QStringLiteral("1")}, 2, "--codes"},
        {{QStringLiteral("merge"), path("a1"), path("f2")}, 1, "часть другого анализа"},
        {{QStringLiteral("merge"), path("a1"), path("b2")}, 1, "часть другого анализа"},
        {{QStringLiteral("merge"), path("a1"), path("a2"), QStringLiteral("--format"), QStringLiteral("csv")}, 2, "--format"},
        {{QStringLiteral("merge"), path("a1")}, 1, "Нет части 2 из 2"},
    };
    for (const Case &c : cases) {
        const CommandResult result = runCommand(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(c.message))) << result.err.toStdString();
    }
}

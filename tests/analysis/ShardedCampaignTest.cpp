#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Result
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Result run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

const QString Modelrun = QStringLiteral(MODELRUN_PATH);
const QString Model = QStringLiteral(EXAMPLES_DIR "/decoder.mod");
const QString Timing = QStringLiteral(EXAMPLES_DIR "/decoder.tim");

} // namespace

// Four shards run by GNU parallel and merged give exactly the report of the
// campaign run in one piece, in every form; a missing shard is an error.
TEST(ShardedCampaign, FourShardsThroughGnuParallelMergeIntoTheWholeReport)
{
    const QString parallel = QStandardPaths::findExecutable(QStringLiteral("parallel"));
    if (parallel.isEmpty())
        GTEST_SKIP() << "GNU parallel is not installed";
    QTemporaryDir dir;
    const Result shards = run(parallel, {QStringLiteral("--will-cite"),
                                         Modelrun + QStringLiteral(" faults ") + Model + QStringLiteral(" --timing ")
                                             + Timing + QStringLiteral(" --pairs --shard {}/4 > ")
                                             + dir.filePath(QStringLiteral("shard-{}.jsonl")),
                                         QStringLiteral(":::"), QStringLiteral("1"), QStringLiteral("2"),
                                         QStringLiteral("3"), QStringLiteral("4")});
    ASSERT_EQ(shards.status, 0) << shards.err.constData();
    QStringList files;
    for (int k = 4; k >= 1; --k) // the order given does not matter
        files << dir.filePath(QStringLiteral("shard-%1.jsonl").arg(k));

    for (const QString &format : {QStringLiteral("text"), QStringLiteral("json"), QStringLiteral("csv")}) {
        const Result whole = run(Modelrun, {QStringLiteral("faults"), Model, QStringLiteral("--timing"), Timing,
                                            QStringLiteral("--pairs"), QStringLiteral("--format"), format});
        const Result merged = run(Modelrun, QStringList{QStringLiteral("merge"), QStringLiteral("--format"), format} + files);
        ASSERT_EQ(whole.status, 0) << whole.err.constData();
        ASSERT_EQ(merged.status, 0) << merged.err.constData();
        EXPECT_GT(whole.out.count('\n'), 100);
        EXPECT_EQ(merged.out, whole.out) << format.toStdString();
    }

    files.removeLast();
    const Result missing = run(Modelrun, QStringList{QStringLiteral("merge")} + files);
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(QString::fromUtf8(missing.err).contains(QStringLiteral("Нет части 1 из 4")));
}

// Shards of a grid sweep and of a bench campaign, merged, give exactly what
// the unsharded run gives: the margins, the table, the report; and a sweep
// on one thread equals a sweep on three.
TEST(ShardedCampaign, SweepAndBenchCampaignShardsMergeIntoTheWholeReport)
{
    QTemporaryDir dir;
    const QString bench = QStringLiteral(EXAMPLES_DIR "/decoder-tolerance.bench");
    const QStringList sweep = {QStringLiteral("sweep"), QStringLiteral("--bench"), bench,
                               QStringLiteral("--vary"), QStringLiteral("code-times=60..140/20"),
                               QStringLiteral("--vary"), QStringLiteral("release:Д=0.1..0.6/0.1s")};
    const QStringList campaign = {QStringLiteral("faults"), QStringLiteral("--bench"), bench};
    for (const QStringList &command : {sweep, campaign}) {
        const bool isSweep = command == sweep;
        const QString wholeCsv = dir.filePath(QStringLiteral("whole.csv"));
        const QString mergedCsv = dir.filePath(QStringLiteral("merged.csv"));
        const QStringList csv = {QStringLiteral("--csv")};
        const Result whole = run(Modelrun, command + (isSweep ? csv + QStringList{wholeCsv} : QStringList{}));
        ASSERT_EQ(whole.status, 0) << whole.err.constData();
        QStringList files;
        for (int k = 3; k >= 1; --k) {
            const Result shard = run(Modelrun, command + QStringList{QStringLiteral("--shard"), QStringLiteral("%1/3").arg(k)});
            ASSERT_EQ(shard.status, 0) << shard.err.constData();
            files << dir.filePath(QStringLiteral("shard-%1.jsonl").arg(k));
            QFile file(files.last());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(shard.out);
        }
        const Result merged = run(Modelrun, QStringList{QStringLiteral("merge")} + files
                                                + (isSweep ? csv + QStringList{mergedCsv} : QStringList{}));
        ASSERT_EQ(merged.status, 0) << merged.err.constData();
        EXPECT_EQ(merged.out, whole.out) << command.join(QLatin1Char(' ')).toStdString();
        if (!isSweep)
            continue;
        QFile wholeTable(wholeCsv), mergedTable(mergedCsv);
        ASSERT_TRUE(wholeTable.open(QIODevice::ReadOnly) && mergedTable.open(QIODevice::ReadOnly));
        const QByteArray table = wholeTable.readAll();
        EXPECT_EQ(table.count('\n'), 1 + 5 * 6);
        EXPECT_EQ(mergedTable.readAll(), table);
        const Result oneThread = run(Modelrun, command + QStringList{QStringLiteral("--jobs"), QStringLiteral("1")});
        const Result threeThreads = run(Modelrun, command + QStringList{QStringLiteral("--jobs"), QStringLiteral("3")});
        EXPECT_EQ(oneThread.out, whole.out);
        EXPECT_EQ(threeThreads.out, whole.out);
    }
}

// A campaign judged by the lamps' levels merges into the same judgement:
// the shards say that levels were known, so the merged text lists the
// wrong-side runs first, and --fail-on wrong-side fails both alike.
TEST(ShardedCampaign, JudgedShardsMergeIntoTheWholeJudgement)
{
    QTemporaryDir dir;
    const QStringList campaign = {QStringLiteral("faults"), Model, QStringLiteral("--timing"), Timing,
                                  QStringLiteral("--steps"), QStringLiteral("300"), QStringLiteral("--pairs"),
                                  QStringLiteral("--levels"), QStringLiteral(EXAMPLES_DIR "/decoder.bench"),
                                  QStringLiteral("--fail-on"), QStringLiteral("wrong-side")};
    const Result whole = run(Modelrun, campaign);
    EXPECT_EQ(whole.status, 1) << whole.err.constData();
    EXPECT_TRUE(whole.out.startsWith("Опасные отказы")) << whole.out.constData();
    QStringList files;
    for (int k = 1; k <= 2; ++k) {
        const Result shard = run(Modelrun, campaign.mid(0, campaign.size() - 2)
                                               + QStringList{QStringLiteral("--shard"), QStringLiteral("%1/2").arg(k)});
        EXPECT_EQ(shard.status, 0) << shard.err.constData();
        QFile file(dir.filePath(QStringLiteral("judged-%1.jsonl").arg(k)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(shard.out);
        files << file.fileName();
    }
    const Result merged = run(Modelrun, QStringList{QStringLiteral("merge"), QStringLiteral("--fail-on"),
                                                    QStringLiteral("wrong-side")} + files);
    EXPECT_EQ(merged.status, 1) << merged.err.constData();
    EXPECT_EQ(merged.out, whole.out);
}

namespace {

QByteArray shardOf(const QStringList &command, int shard, int shards)
{
    const Result result = run(Modelrun, command + QStringList{QStringLiteral("--shard"), QStringLiteral("%1/%2").arg(shard).arg(shards)});
    EXPECT_EQ(result.status, 0) << result.err.constData();
    return result.out;
}

QString written(const QTemporaryDir &dir, const QString &name, const QByteArray &text)
{
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return file.fileName();
}

// The lines of a shard without the newline of the last; cut drops lines
// from the end, reverse turns the lines between the first and the last round.
QByteArray edited(const QByteArray &shard, int cut, bool reverse = false)
{
    QList<QByteArray> lines = shard.trimmed().split('\n');
    lines.resize(lines.size() - cut);
    if (reverse)
        std::reverse(lines.begin() + 1, lines.end() - 1);
    return lines.join('\n') + '\n';
}

} // namespace

// Merge takes only whole shards of one campaign: a shard of another model, a
// shard cut short (with or without its closing line) or a file that is no
// shard at all stops it with the name of the file, before any report.
TEST(ShardedCampaign, MergeRefusesMixedCutAndForeignShards)
{
    QTemporaryDir dir;
    const QStringList decoder = {QStringLiteral("faults"), Model, QStringLiteral("--timing"), Timing};
    const QStringList stick = {QStringLiteral("faults"), QStringLiteral(EXAMPLES_DIR "/stick-relay.mod"),
                               QStringLiteral("--timing"), QStringLiteral(EXAMPLES_DIR "/stick-relay.tim")};
    const QByteArray second = shardOf(decoder, 2, 2);
    ASSERT_GE(second.count('\n'), 4); // header, at least two runs, closing line
    const QString first = written(dir, QStringLiteral("first.jsonl"), shardOf(decoder, 1, 2));
    const Result whole = run(Modelrun, decoder + QStringList{QStringLiteral("--format"), QStringLiteral("json")});

    struct Case
    {
        const char *name;
        QByteArray text;
        const char *message;
    };
    const Case cases[] = {
        {"other-model.jsonl", shardOf(stick, 2, 2), "часть другого анализа"},
        {"truncated.jsonl", edited(second, 2), "часть не завершена"},
        {"unterminated.jsonl", edited(second, 1), "часть не завершена"},
        {"run-missing.jsonl", edited(second, 2) + second.trimmed().split('\n').last() + '\n', "строк прогонов, а заявлено"},
        {"foreign.jsonl", whole.out, "нет заголовка части"},
    };
    for (const Case &c : cases) {
        const QString file = written(dir, QString::fromUtf8(c.name), c.text);
        const Result merged = run(Modelrun, {QStringLiteral("merge"), first, file});
        const QString err = QString::fromUtf8(merged.err);
        EXPECT_EQ(merged.status, 1) << c.name;
        EXPECT_TRUE(err.contains(file) && err.contains(QString::fromUtf8(c.message))) << c.name << ": " << merged.err.constData();
        EXPECT_TRUE(merged.out.isEmpty()) << c.name;
    }
}

// A sweep's points are placed by their "at", so shards whose point lines
// stand in another order merge into the same margins and table.
TEST(ShardedCampaign, ReorderedSweepLinesMergeIntoTheSameReport)
{
    QTemporaryDir dir;
    const QStringList sweep = {QStringLiteral("sweep"), QStringLiteral("--bench"),
                               QStringLiteral(EXAMPLES_DIR "/decoder-tolerance.bench"), QStringLiteral("--vary"),
                               QStringLiteral("code-times=60..140/20")};
    QStringList inOrder;
    QStringList reordered;
    for (int k = 1; k <= 2; ++k) {
        const QByteArray shard = shardOf(sweep, k, 2);
        inOrder << written(dir, QStringLiteral("in-order-%1.jsonl").arg(k), shard);
        reordered << written(dir, QStringLiteral("reordered-%1.jsonl").arg(k), edited(shard, 0, true));
    }
    const QString csv = dir.filePath(QStringLiteral("in-order.csv"));
    const QString reorderedCsv = dir.filePath(QStringLiteral("reordered.csv"));
    const Result expected = run(Modelrun, QStringList{QStringLiteral("merge"), QStringLiteral("--csv"), csv} + inOrder);
    const Result merged = run(Modelrun, QStringList{QStringLiteral("merge"), QStringLiteral("--csv"), reorderedCsv} + reordered);
    ASSERT_EQ(merged.status, 0) << merged.err.constData();
    EXPECT_EQ(merged.out, expected.out);
    QFile table(csv), reorderedTable(reorderedCsv);
    ASSERT_TRUE(table.open(QIODevice::ReadOnly) && reorderedTable.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = table.readAll().split('\n');
    // 60, 80, 100, 120, 140 % of the code times, in that order, after the header.
    ASSERT_EQ(rows.size(), 1 + 5 + 1);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(rows[1 + i].startsWith(QByteArray::number(60 + 20 * i).append(','))) << rows[1 + i].constData();
    EXPECT_EQ(reorderedTable.readAll(), rows.join('\n'));
}

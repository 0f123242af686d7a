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

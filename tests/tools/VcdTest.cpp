// The value change dump of modelrun, read back by GTKWave's converters
// (vcd2fst, then fst2vcd) and by sigrok: what a real reader sees must be what
// the run did.

#include "tests/tools/ModelrunProcess.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Changes = QList<QPair<qint64, int>>; // (time, value), only where the value changes

struct Dump
{
    QString scope;
    QMap<QString, Changes> lanes; // by name
    QList<qint64> stamps;
};

Dump parseVcd(const QByteArray &bytes)
{
    Dump dump;
    QMap<QString, QString> nameOf; // identifier -> name
    QMap<QString, int> last;
    qint64 now = 0;
    bool definitionsDone = false;
    const auto record = [&](const QString &id, int value) {
        const QString name = nameOf.value(id);
        if (last.contains(name) && last[name] == value)
            return;
        last[name] = value;
        dump.lanes[name].append({now, value});
    };
    for (const QString &raw : QString::fromUtf8(bytes).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (line.startsWith(QLatin1String("$enddefinitions"))) {
            definitionsDone = true;
        } else if (!definitionsDone) {
            if (line.startsWith(QLatin1String("$scope")) && words.size() >= 3)
                dump.scope = words[2];
            else if (line.startsWith(QLatin1String("$var")) && words.size() >= 5)
                nameOf[words[3]] = words[4];
        } else if (line.startsWith(QLatin1Char('#'))) {
            now = line.mid(1).toLongLong();
            dump.stamps.append(now);
        } else if (line.startsWith(QLatin1Char('b')) && words.size() == 2) {
            record(words[1], words[0].mid(1).toInt(nullptr, 2));
        } else if (!line.isEmpty() && (line[0] == QLatin1Char('0') || line[0] == QLatin1Char('1'))) {
            record(line.mid(1), line[0].digitValue());
        }
    }
    return dump;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool runTool(const QString &tool, const QStringList &arguments, QByteArray *out = nullptr)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return false;
    if (out)
        *out = process.readAllStandardOutput();
    return true;
}

TEST(Vcd, RealReaderSeesTheRun)
{
    const QString vcd2fst = QStandardPaths::findExecutable(QStringLiteral("vcd2fst"));
    const QString fst2vcd = QStandardPaths::findExecutable(QStringLiteral("fst2vcd"));
    ASSERT_FALSE(vcd2fst.isEmpty() || fst2vcd.isEmpty()) << "GTKWave's vcd2fst and fst2vcd are needed (package gtkwave)";

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        // Р.1 needs a safe name: "." separates scopes in readers.
        QFile model(dir.filePath(QStringLiteral("m.mod")));
        ASSERT_TRUE(model.open(QIODevice::WriteOnly));
        model.write("\xD0\xE5\xEB\xE5 \xE8 \xE2\xFB\xF5\xEE\xE4\r\n 2 \r\n\xC0=p\r\n\xD0.1=\xC0\r\n 1 \r\n\xC2=\xC0\r\n");
    }
    const ModelrunResult run = RunModelrun({QStringLiteral("m.mod"), QStringLiteral("--steps"), QStringLiteral("10"),
                                            QStringLiteral("--fault"), QStringLiteral("3:1:2"), QStringLiteral("--fault"),
                                            QStringLiteral("7:1:1"), QStringLiteral("--fault"), QStringLiteral("9:1:0"),
                                            QStringLiteral("--vcd"), QStringLiteral("run.vcd")},
                                           dir.path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();

    const QByteArray written = readFile(dir.filePath(QStringLiteral("run.vcd")));
    EXPECT_FALSE(written.contains("$date"));
    EXPECT_TRUE(written.contains("$timescale 10ms $end"));
    EXPECT_TRUE(written.contains(QStringLiteral("Р_1 = Р.1").toUtf8()));
    const Dump ours = parseVcd(written);
    ASSERT_FALSE(ours.stamps.isEmpty());
    for (qsizetype k = 1; k < ours.stamps.size(); ++k)
        EXPECT_LT(ours.stamps[k - 1], ours.stamps[k]);
    EXPECT_EQ(ours.stamps.last(), 11); // after the last step

    // Feed before 3: А pending at 3, up at 4. Break before 7: releasing at 7,
    // down at 8. Р.1 reads А one step late: pending at 5, up at 6, releasing
    // at 9, down at 10. В=А. The input stays 0.
    const QMap<QString, Changes> expected{
        {QStringLiteral("p"), {{0, 0}}},
        {QStringLiteral("А"), {{0, 0}, {4, 1}, {8, 0}}},
        {QStringLiteral("Р_1"), {{0, 0}, {6, 1}, {10, 0}}},
        {QStringLiteral("В"), {{0, 0}, {4, 1}, {8, 0}}},
        {QStringLiteral("А_pickup"), {{0, 0}, {3, 1}, {4, 0}}},
        {QStringLiteral("А_release"), {{0, 0}, {7, 1}, {8, 0}}},
        {QStringLiteral("А_break"), {{0, 0}, {7, 1}, {9, 0}}},
        {QStringLiteral("А_feed"), {{0, 0}, {3, 1}, {7, 0}}},
        {QStringLiteral("Р_1_pickup"), {{0, 0}, {5, 1}, {6, 0}}},
        {QStringLiteral("Р_1_release"), {{0, 0}, {9, 1}, {10, 0}}},
        {QStringLiteral("Р_1_break"), {{0, 0}}},
        {QStringLiteral("Р_1_feed"), {{0, 0}}},
    };
    EXPECT_EQ(ours.scope, QStringLiteral("Реле_и_выход"));
    EXPECT_EQ(ours.lanes, expected);

    const QString fst = dir.filePath(QStringLiteral("run.fst"));
    ASSERT_TRUE(runTool(vcd2fst, {dir.filePath(QStringLiteral("run.vcd")), fst}));
    QByteArray readBack;
    ASSERT_TRUE(runTool(fst2vcd, {fst}, &readBack));
    const Dump theirs = parseVcd(readBack);
    EXPECT_EQ(theirs.scope, ours.scope);
    EXPECT_EQ(theirs.lanes, ours.lanes);
    ASSERT_FALSE(theirs.stamps.isEmpty());
    EXPECT_EQ(theirs.stamps.last(), 11);
}

// The bytes of the dump of the run above, worked out from the same changes:
// the renamed names first, then one wire per lane in declaration order, a
// stamp only at the steps where some wire changes, and the end stamp.
TEST(Vcd, TheDumpIsWrittenByteForByte)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        QFile model(dir.filePath(QStringLiteral("m.mod")));
        ASSERT_TRUE(model.open(QIODevice::WriteOnly));
        model.write("\xD0\xE5\xEB\xE5 \xE8 \xE2\xFB\xF5\xEE\xE4\r\n 2 \r\n\xC0=p\r\n\xD0.1=\xC0\r\n 1 \r\n\xC2=\xC0\r\n");
    }
    const ModelrunResult run = RunModelrun({QStringLiteral("m.mod"), QStringLiteral("--steps"), QStringLiteral("10"),
                                            QStringLiteral("--fault"), QStringLiteral("3:1:2"), QStringLiteral("--fault"),
                                            QStringLiteral("7:1:1"), QStringLiteral("--fault"), QStringLiteral("9:1:0"),
                                            QStringLiteral("--vcd"), QStringLiteral("run.vcd")},
                                           dir.path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QString expected = QStringLiteral(
        "$comment\n  Original names:\n  Реле_и_выход = Реле и выход\n  Р_1 = Р.1\n$end\n"
        "$version modelrun $end\n$timescale 10ms $end\n$scope module Реле_и_выход $end\n"
        "$var wire 1 ! p $end\n$var wire 1 \" А $end\n$var wire 1 # Р_1 $end\n$var wire 1 $ В $end\n"
        "$var wire 1 % А_pickup $end\n$var wire 1 & А_release $end\n$var wire 1 ' А_break $end\n"
        "$var wire 1 ( А_feed $end\n$var wire 1 ) Р_1_pickup $end\n$var wire 1 * Р_1_release $end\n"
        "$var wire 1 + Р_1_break $end\n$var wire 1 , Р_1_feed $end\n$upscope $end\n$enddefinitions $end\n"
        "#0\n$dumpvars\n0!\n0\"\n0#\n0$\n0%\n0&\n0'\n0(\n0)\n0*\n0+\n0,\n$end\n"
        "#3\n1%\n1(\n#4\n1\"\n1$\n0%\n#5\n1)\n#6\n1#\n0)\n#7\n1&\n1'\n0(\n"
        "#8\n0\"\n0$\n0&\n#9\n0'\n1*\n#10\n0#\n0*\n#11\n");
    EXPECT_EQ(QString::fromUtf8(readFile(dir.filePath(QStringLiteral("run.vcd")))).toStdString(), expected.toStdString());
}

TEST(Vcd, SigrokReadsTheSamples)
{
    const QString sigrok = QStandardPaths::findExecutable(QStringLiteral("sigrok-cli"));
    if (sigrok.isEmpty())
        GTEST_SKIP() << "sigrok-cli is not installed (Debian package sigrok-cli): the dump is not read by sigrok";

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const ModelrunResult run = RunModelrun({QStringLiteral(EXAMPLES_DIR "/code-present.mod"), QStringLiteral("--steps"),
                                            QStringLiteral("20"), QStringLiteral("--key"), QStringLiteral("3:1"),
                                            QStringLiteral("--fault"), QStringLiteral("10:1:2"), QStringLiteral("--vcd"),
                                            QStringLiteral("run.vcd")},
                                           dir.path());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QByteArray csv;
    ASSERT_TRUE(runTool(sigrok, {QStringLiteral("-I"), QStringLiteral("vcd"), QStringLiteral("-i"),
                                 dir.filePath(QStringLiteral("run.vcd")), QStringLiteral("-O"), QStringLiteral("csv")},
                        &csv));

    QStringList channels;
    QList<QStringList> samples;
    for (const QString &line : QString::fromUtf8(csv).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("; Channels")))
            channels = line.section(QStringLiteral(": "), 1).split(QStringLiteral(", "));
        else if (!line.startsWith(QLatin1Char(';')) && !line.startsWith(QLatin1String("META"))
                 && !line.startsWith(QLatin1String("logic")))
            samples.append(line.split(QLatin1Char(',')));
    }
    // Time 0 at rest, then one sample per step of 10 ms up to the end stamp.
    ASSERT_EQ(samples.size(), 21);
    // The constant 1 reaches the input at step 3; the feed on И is in force from step 10.
    const struct
    {
        const char *channel;
        int firstOne;
    } lanes[] = {{"p", 3}, {"И_feed", 10}, {"И_break", -1}};
    for (const auto &lane : lanes) {
        const qsizetype column = channels.indexOf(QString::fromUtf8(lane.channel));
        ASSERT_GE(column, 0) << lane.channel << " in " << channels.join(QLatin1Char(' ')).toStdString();
        for (qsizetype k = 0; k < samples.size(); ++k)
            EXPECT_EQ(samples[k].value(column), lane.firstOne >= 0 && k >= lane.firstOne ? QStringLiteral("1") : QStringLiteral("0"))
                << lane.channel << " at sample " << k;
    }
}

} // namespace

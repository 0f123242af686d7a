// modelrun against bad command lines, bad input files and output files that
// cannot be written: the exit status and a message that names what is wrong.

#include "tests/tools/ModelrunProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ModelrunErrors : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        write("m.mod", "Реле\r\n 1 \r\nА=p\r\n 1 \r\nВ=А\r\n");
        write("short.tim", "0.01\r\n0.01\r\n");
        write("word.tim", "0.01\r\n0.02\r\nsto\r\n");
        write("comma.tim", "0.01, 0.01\r\n1e2\r\n");
        write("zero.whd", ".23,.57,.38,.12\r\n.38,0,.35,.12\r\n.22,.12,.22,.57\r\n");
        write("few.whd", ".23,.57,.38,.12\r\n");
        write("count.mod", "Реле\r\n один\r\nА=p\r\n");
        write("decimal.tim", "0,25\r\n0.3\r\n100\r\n"); // read as 0, 25, 0.3 (the run length) and 100
        write("b.bench", "модель m.mod\nвремена decimal.tim\nшагов 5\nожидать В = 0\n");
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("zero.mod"))));
    }

    void write(const char *name, const char *text)
    {
        QFile file(dir.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(encode(text));
    }

    // Model files are Windows-1251; the other files here are plain ASCII.
    static QByteArray encode(const char *text)
    {
        QByteArray bytes;
        for (QChar c : QString::fromUtf8(text))
            bytes.append(c.unicode() >= 0x410 && c.unicode() <= 0x44F ? char(c.unicode() - 0x410 + 0xC0) : char(c.unicode()));
        return bytes;
    }

    ModelrunResult run(const char *line)
    {
        return RunModelrun(QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts), dir.path());
    }

    QTemporaryDir dir;
};

TEST_F(ModelrunErrors, ExitStatusAndMessage)
{
    struct Case
    {
        const char *line;
        int status;
        QList<const char *> fragments; // all must appear in standard error
    };
    const Case cases[] = {
        {"", 2, {"не задан файл модели", "Подробнее: modelrun --help"}},
        {"m.mod --steps -5", 2, {"--steps: «-5»", "Подробнее: modelrun --help"}},
        {"m.mod --fault 3:99:1", 2, {"от 1 до 20"}},
        {"m.mod --fault 3:2:1", 2, {"m.mod", "нет элемента 2"}},
        {"nothing.mod", 1, {"nothing.mod"}},
        {"count.mod", 1, {"count.mod", "2"}},
        {"m --timing absent.tim", 1, {"absent.tim"}},
        {"m --timing short.tim", 1, {"short.tim", "строки 2"}},
        {"m --timing word.tim", 1, {"word.tim", "строка 3", "sto"}},
        {"m --whd zero.whd", 1, {"zero.whd", "нулевые"}},
        // A device never ends: the readers stop at a size no real file has.
        {"m --timing /dev/zero", 1, {"/dev/zero", "слишком большой"}},
        {"zero.mod", 1, {"zero.mod", "слишком большой"}},
        {"m --whd few.whd", 1, {"few.whd"}},
        {"m --whd absent.whd", 1, {"absent.whd"}},
        {"m --vcd no/such/folder/run.vcd", 1, {"no/such/folder/run.vcd"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        const ModelrunResult result = run(c.line);
        EXPECT_EQ(result.status, c.status);
        for (const char *fragment : c.fragments) {
            EXPECT_TRUE(result.err.contains(QString::fromUtf8(fragment))) << result.err.toStdString();
        }
        if (c.status == 1) {
            EXPECT_TRUE(result.out.isEmpty());
        }
    }
}

TEST_F(ModelrunErrors, CommaSeparatedTimingAndHelp)
{
    // Times 0.01 and 0.01 on one line, RunLength 100 in exponent form.
    const ModelrunResult timed = run("m.mod --timing comma.tim");
    EXPECT_EQ(timed.status, 0) << timed.err.toStdString();
    EXPECT_EQ(ParseDiagram(timed.out).rows.size(), 100);

    const ModelrunResult help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(QString::fromUtf8(help.out).startsWith(QStringLiteral("Использование: modelrun")));
}

// A usage error is one line that names what is wrong, and where the help is.
TEST_F(ModelrunErrors, UsageErrorIsOneLineAndThePointerToTheHelp)
{
    const struct
    {
        const char *line;
        const char *first;
        const char *help;
    } cases[] = {
        {"m.mod --bogus", "modelrun: неизвестный параметр «--bogus»", "modelrun --help"},
        {"check m.mod --format xml", "modelrun check: --format", "modelrun check --help"},
        {"test --junit", "modelrun test: --junit", "modelrun test --help"},
        {"faults m.mod --jobs 0", "modelrun faults: --jobs", "modelrun faults --help"},
        {"sweep --bench b.bench --jobs x", "modelrun sweep: --jobs", "modelrun sweep --help"},
        {"merge --format xml a.json", "modelrun merge: --format: «xml»", "modelrun merge --help"},
        {"draw m.mod --bogus", "modelrun draw: неизвестный параметр «--bogus»", "modelrun draw --help"},
        {"b.bench", "modelrun: «b.bench» — файл испытательного стенда, а не модели: его сценарии прогоняет "
                    "modelrun test b.bench", "modelrun --help"},
        {"faults b.bench", "modelrun faults: «b.bench» — файл испытательного стенда", "modelrun faults --help"},
        {"prove b.bench c.bench", "modelrun prove: «c.bench» — файл испытательного стенда", "modelrun prove --help"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        const ModelrunResult result = run(c.line);
        EXPECT_EQ(result.status, 2);
        const QStringList lines = result.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2) << result.err.toStdString();
        EXPECT_TRUE(lines[0].startsWith(QString::fromUtf8(c.first))) << lines[0].toStdString();
        EXPECT_EQ(lines[1], QStringLiteral("Подробнее: %1").arg(QString::fromUtf8(c.help)));
    }
}

// The file is read as its format says, and what looks wrong is said before
// the run: a decimal comma splits 0,25 into 0 and 25, so the file holds four
// values for three, and the run length becomes 0.3, that is 0 steps. A code
// the transmitter does not have runs as it would, said too.
TEST_F(ModelrunErrors, WhatLooksWrongIsSaidBeforeTheRun)
{
    const QString noCode = QStringLiteral("Внимание: --code 5: такого кода нет (0 нет кода, 1 КЖ, 2 Ж, 3 З)");
    const QString count = QStringLiteral("Внимание: в файле decimal.tim значений 4, а модели с числом элементов N = 1 "
                                         "нужно 2·N+1 = 3");
    const QString zero = QStringLiteral("Внимание: в файле decimal.tim время работы схемы 0");
    const struct
    {
        const char *line;
        int status;
        QStringList said;
        QStringList notSaid;
    } cases[] = {
        {"m.mod --timing decimal.tim", 0, {count, zero}, {}},
        {"m.mod --timing decimal.tim --steps 3", 0, {count}, {zero}},
        {"m.mod --timing comma.tim", 0, {}, {QStringLiteral("Внимание")}},
        {"test b.bench", 0, {count}, {zero}}, // the bench sets its own length
        {"faults m.mod --timing decimal.tim --steps 3", 0, {count}, {zero}},
        {"faults --bench b.bench", 0, {count}, {zero}},
        {"m.mod --code 5 --steps 3", 0, {noCode}, {}},
        {"m.mod --code 3 --steps 3", 0, {}, {QStringLiteral("Внимание")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        const ModelrunResult result = run(c.line);
        EXPECT_EQ(result.status, c.status) << result.err.toStdString();
        for (const QString &text : c.said)
            EXPECT_TRUE(result.err.contains(text)) << result.err.toStdString();
        for (const QString &text : c.notSaid)
            EXPECT_FALSE(result.err.contains(text)) << result.err.toStdString();
    }
}

TEST_F(ModelrunErrors, ReportFileThatCannotBeWrittenKeepsTheRunGoing)
{
    // A missing folder, a full disk, and a folder that cannot be created even
    // by root (the path runs through a regular file).
    for (const char *report : {"no/such/folder/r.out", "/dev/full", "m.mod/r.out"}) {
        SCOPED_TRACE(report);
        const ModelrunResult result = run(QByteArray(QByteArray("m.mod --steps 5 --report ") + report).constData());
        EXPECT_EQ(result.status, 1);
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(report))) << result.err.toStdString();
        EXPECT_TRUE(result.err.trimmed().endsWith(QStringLiteral(" Вывод в файл отключен."))) << result.err.toStdString();
        EXPECT_EQ(result.err.count(QStringLiteral("Вывод в файл отключен")), 1);
        EXPECT_EQ(ParseDiagram(result.out).rows.size(), 5);
    }
}

TEST_F(ModelrunErrors, ExportsThatCannotBeWrittenKeepTheRunGoing)
{
    const struct
    {
        const char *line;
        int rows;
        QList<const char *> fragments;
    } cases[] = {
        {"m.mod --steps 5 --png no/such/a.png --csv no/such/a.csv --wavejson w.json", 5,
         {"no/such/a.png", "no/such/a.csv"}},
        {"m.mod --steps 0 --svg s.svg", 0, {"s.svg", "ни одного шага"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        const ModelrunResult result = run(c.line);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(ParseDiagram(result.out).rows.size(), c.rows);
        for (const char *fragment : c.fragments)
            EXPECT_TRUE(result.err.contains(QString::fromUtf8(fragment))) << result.err.toStdString();
    }
    // The export that could be written still was.
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("w.json"))));
}

TEST_F(ModelrunErrors, FullStandardOutputIsAFailure)
{
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.start(QStringLiteral(MODELRUN_PATH), {QStringLiteral("m.mod"), QStringLiteral("--steps"), QStringLiteral("1000")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError()).contains(QStringLiteral("стандартный вывод")));
}

TEST_F(ModelrunErrors, ReportFileGetsHeaderAndRowsAppended)
{
    const QByteArray heading = "\x82\xE5.   \x80    \x82     Ti"; // "Вх.   А    В     Ti" in code page 866
    const QByteArray off = "\xB3    ", on = "\xB0    ", pickup = "\xDB    ";
    // Input 1 from step 3 (key "1"): А pending at 3 and up from 4, В with it.
    const QByteArray rows = off + off + off + "\r\n" + off + off + off + "\r\n" + on + pickup + off + "\r\n" + on + on + on + "\r\n";

    for (int run = 1; run <= 2; ++run) {
        const ModelrunResult result = this->run("m.mod --steps 4 --key 3:1 --report r.out");
        ASSERT_EQ(result.status, 0) << result.err.toStdString();
    }
    QFile file(dir.filePath(QStringLiteral("r.out")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray report = file.readAll();
    const QByteArray runBlockEnd = heading + "\r\n" + rows;
    EXPECT_TRUE(report.endsWith(runBlockEnd));
    EXPECT_EQ(report.count(runBlockEnd), 2);

    // Each header opens with an empty line, the date and the time.
    const QRegularExpression opening(QStringLiteral("^\r\n\\d\\d\\.\\d\\d\\.\\d{4}\r\n\\d\\d:\\d\\d\r\n"));
    EXPECT_TRUE(opening.match(QString::fromLatin1(report)).hasMatch());
    EXPECT_EQ(QString::fromLatin1(report).count(QRegularExpression(QStringLiteral("\r\n\r\n\\d\\d\\.\\d\\d\\.\\d{4}\r\n"))), 1);
}

} // namespace

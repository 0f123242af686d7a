// modelrun check and modelrun test as a user runs them: one scenario per
// exit status, the JSON lines of the check, and the JUnit file read back.

#include "tests/tools/ModelrunProcess.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

class Subcommands : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString write(const char *name, const QString &text)
    {
        const QString path = dir.filePath(QString::fromUtf8(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        return path;
    }

    static QString example(const char *file) { return QStringLiteral(EXAMPLES_DIR "/") + QString::fromUtf8(file); }

    QTemporaryDir dir;
};

TEST_F(Subcommands, CheckExitStatusAndJsonLines)
{
    EXPECT_EQ(RunModelrun({QStringLiteral("check"), example("decoder.mod")}).status, 0);
    EXPECT_EQ(RunModelrun({QStringLiteral("check"), example("decoder.mod"), QStringLiteral("--format"), QStringLiteral("xml")}).status, 2);
    EXPECT_EQ(RunModelrun({QStringLiteral("check")}).status, 2);
    EXPECT_EQ(RunModelrun({QStringLiteral("test")}).status, 2);
    const ModelrunResult help = RunModelrun({QStringLiteral("test"), QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Использование: modelrun test"));

    const QString model = write("bad.mod", QStringLiteral("Т\r\n 2 \r\nБ=p\r\nКЖ=Б*-Ж3\r\n 1 \r\nЛ=КЖ\r\n"));
    const ModelrunResult result = RunModelrun({QStringLiteral("check"), model, QStringLiteral("--format"), QStringLiteral("json")});
    EXPECT_EQ(result.status, 1);
    const QList<QByteArray> lines = result.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 1) << result.out.toStdString();
    const QJsonObject finding = QJsonDocument::fromJson(lines[0]).object();
    EXPECT_EQ(finding.value(QStringLiteral("kind")).toString(), QStringLiteral("unknown-name"));
    EXPECT_EQ(finding.value(QStringLiteral("severity")).toString(), QStringLiteral("error"));
    EXPECT_EQ(finding.value(QStringLiteral("line")).toInt(), 4);
    EXPECT_EQ(finding.value(QStringLiteral("column")).toInt(), 7);
    EXPECT_EQ(finding.value(QStringLiteral("operand")).toString(), QStringLiteral("Ж3"));
    EXPECT_TRUE(finding.value(QStringLiteral("message")).toString().contains(QStringLiteral("«Б»")));

    const ModelrunResult text = RunModelrun({QStringLiteral("check"), model});
    EXPECT_EQ(text.status, 1);
    EXPECT_EQ(QString::fromUtf8(text.out),
              model + QStringLiteral(":4:7: ошибка: «Ж3» не найдено: терм читается как «Б» [unknown-name]\n"));
}

TEST_F(Subcommands, TestExitStatusStepAndJUnit)
{
    const ModelrunResult examples = RunModelrun({QStringLiteral("test"), example("stick-relay.bench"),
                                                 example("code-present.bench"), example("decoder.bench")});
    EXPECT_EQ(examples.status, 0) << examples.out.toStdString() << examples.err.toStdString();
    // Every bench passes, but the report cannot be written: a file error.
    const QString unwritable = dir.filePath(QStringLiteral("no/such/folder/out.xml"));
    const ModelrunResult unwritten = RunModelrun({QStringLiteral("test"), example("decoder.bench"), QStringLiteral("--junit"), unwritable});
    EXPECT_EQ(unwritten.status, 1);
    EXPECT_TRUE(unwritten.err.contains(unwritable)) << unwritten.err.toStdString();

    // ЛКЖ lights at step 75 under code 1, so a bench that says 74 fails
    // there, and one that wants it lit over 70..80 fails at 70.
    const QString wrong = write("wrong.bench", QStringLiteral("модель %1\nвремена %2\nкод 1\n"
                                                              "ожидать ЛКЖ поднимается на 74\n"
                                                              "ожидать ЛКЖ = 1 на 70..80\n"
                                                              "ожидать никогда ЛКЖ и ЛЖЗ\n")
                                                   .arg(example("decoder.mod"), example("decoder.tim")));
    const QString junit = dir.filePath(QStringLiteral("out.xml"));
    const QString unknown = write("unknown.bench", QStringLiteral("модель %1\nкод 1\nожидать ЛКЖ = 1\nожидать ЛКЖЖ = 1\n")
                                                       .arg(example("decoder.mod")));
    const ModelrunResult failing = RunModelrun({QStringLiteral("test"), wrong, QStringLiteral("--junit"), junit});
    EXPECT_EQ(failing.status, 1);
    const QString out = QString::fromUtf8(failing.out);
    EXPECT_TRUE(out.contains(QStringLiteral("wrong.bench:4 [основной] ЛКЖ поднимается на 74 — поднимается только на шаге 75")))
        << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("wrong.bench:5 [основной] ЛКЖ = 1 на 70..80 — шаг 70: ЛКЖ = 0")));
    EXPECT_TRUE(out.contains(QStringLiteral("пройдено     ") + wrong + QStringLiteral(":6")));

    const ModelrunResult broken = RunModelrun({QStringLiteral("test"), wrong, unknown, QStringLiteral("--junit"), junit});
    EXPECT_EQ(broken.status, 2);
    EXPECT_TRUE(broken.err.contains(QStringLiteral("unknown.bench, строка 4, столбец 9: сигнала «ЛКЖЖ» нет")))
        << broken.err.toStdString();

    // The last JUnit file: two suites, the second an error of the bench.
    QFile file(junit);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int suites = 0, cases = 0, failures = 0, errors = 0;
    QStringList suiteCounts;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("testsuites"))
            suiteCounts << xml.attributes().value(QStringLiteral("tests")).toString()
                               + QLatin1Char('/') + xml.attributes().value(QStringLiteral("failures")).toString()
                               + QLatin1Char('/') + xml.attributes().value(QStringLiteral("errors")).toString();
        suites += name == QLatin1String("testsuite");
        cases += name == QLatin1String("testcase");
        failures += name == QLatin1String("failure");
        errors += name == QLatin1String("error");
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(suites, 2);
    EXPECT_EQ(cases, 4);
    EXPECT_EQ(failures, 2);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(suiteCounts, QStringList{QStringLiteral("4/2/1")});
}

} // namespace

// Bench files: the errors of the reader with their line and column, and the
// expectations checked against a trace written by hand.

#include "check/BenchEvaluate.h"
#include "check/BenchParser.h"
#include "check/LoadedBench.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

struct BadBench
{
    const char *title;
    QByteArray bytes;
    const char *expected; // a part of the message
};

TEST(BenchReader, NamesTheLineAndColumnOfWhatIsWrong)
{
    const std::vector<BadBench> cases = {
        {"an empty file", "  \r\n", "строка 1, столбец 1: файл пуст"},
        {"UTF-16", QByteArray("\xFF\xFE\x3C\x04", 4), "UTF-16"},
        {"no model", "код 1\n", "не задана модель"},
        {"an unknown word", "модель m.mod\nкот 1\n", "строка 2, столбец 1: неизвестное слово «кот»"},
        {"a negative time", "модель m.mod\nожидать А = 1 на -5\n", "строка 2, столбец 18: «-5»: время не может быть отрицательным"},
        {"a huge range", "модель m.mod\nожидать А = 1 на 1..99999999999\n", "строка 2, столбец 21: «99999999999»: больше"},
        {"a range ending before it starts", "модель m.mod\nожидать А = 1 на 9..3\n", "строка 2, столбец 18"},
        {"seconds between steps", "модель m.mod\nклавиша 0.005с 1\n", "строка 2, столбец 9: «0.005с»: не целое число шагов"},
        {"an unclosed bracket", "модель m.mod\nожидать никогда (А и Б\n", "строка 2, столбец 23: строка кончилась, нужно: «)»"},
        {"a value other than 0 or 1", "модель m.mod\nсценарий С\nожидать А = 2\n", "строка 3, столбец 13"},
        {"a chain too long to evaluate", "модель m.mod\nожидать никогда " + QByteArray("А и ").repeated(200) + "А\n",
         "больше 100 уровней"},
        {"a model inside a scenario", "сценарий С\nмодель m.mod\n", "строка 2, столбец 1: модель задаётся до первого сценария"},
        // The first step is 1: a key or fault at 0 would never come.
        {"a key at step 0", "модель m.mod\nклавиша 0 1\n", "строка 2, столбец 9: «0»: шаги считаются с 1"},
        {"a fault at step 0", "модель m.mod\nсценарий С\nнеисправность 0с А обрыв\n",
         "строка 3, столбец 15: «0с»: шаги считаются с 1"},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const BadBench &c : cases) {
        SCOPED_TRACE(c.title);
        const QString name = dir.filePath(QStringLiteral("b.bench"));
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.bytes);
        file.close();
        const std::expected<Bench, BenchError> bench = ReadBenchFile(name);
        ASSERT_FALSE(bench.has_value());
        EXPECT_TRUE(bench.error().message.contains(QString::fromUtf8(c.expected))) << bench.error().message.toStdString();
        EXPECT_TRUE(bench.error().message.contains(name)) << bench.error().message.toStdString();
    }
}

TEST(BenchReader, TakesScenariosOnTopOfTheCommonSettings)
{
    const std::expected<Bench, BenchError> bench = ParseBench(
        QStringLiteral("/d/b.bench"),
        QStringLiteral("модель m.mod\nвремена m.tim\nожидать никогда А\n"
                       "сценарий Первый\nкод 2\nклавиша 0.5с ESC\nнеисправность 7 Б подпитка\nожидать А = 1 на 1с..2с\n"
                       "сценарий Второй (КПТШ-7) # комментарий\nкптш 7\nшагов 30\n"));
    ASSERT_TRUE(bench.has_value()) << bench.error().message.toStdString();
    EXPECT_EQ(bench->modelFile, QStringLiteral("/d/m.mod"));
    ASSERT_EQ(bench->scenarios.size(), 2);
    const BenchScenario &first = bench->scenarios[0];
    EXPECT_EQ(first.run.timingFile, QStringLiteral("/d/m.tim"));
    EXPECT_EQ(first.run.code, 2);
    ASSERT_EQ(first.run.keys.size(), 1);
    EXPECT_EQ(first.run.keys[0].step, 50);
    EXPECT_EQ(first.run.keys[0].command, QString(QChar(27)));
    ASSERT_EQ(first.faults.size(), 1);
    EXPECT_EQ(first.faults[0].kind, 2);
    ASSERT_EQ(first.expectations.size(), 2); // the common one first
    EXPECT_EQ(first.expectations[0].kind, Expectation::Kind::Never);
    EXPECT_EQ(first.expectations[1].range.first, 100);
    EXPECT_EQ(first.expectations[1].range.last, 200);
    const BenchScenario &second = bench->scenarios[1];
    EXPECT_EQ(second.name, QStringLiteral("Второй (КПТШ-7)"));
    EXPECT_EQ(second.run.code, 0);
    EXPECT_EQ(second.run.kpt, 7);
    EXPECT_EQ(second.run.steps, 30);
    EXPECT_EQ(second.expectations.size(), 1);
}

// Keys and faults past the last step would never come; the run's length is
// known only once the timing file is read.
TEST(BenchReader, RefusesKeysAndFaultsPastTheEndOfTheRun)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const char *name, const QByteArray &bytes) {
        QFile file(dir.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    };
    write("m.mod", "Реле\r\n 1 \r\nА=p\r\n 1 \r\nВ=А\r\n");
    write("m.tim", "0.01\r\n0.01\r\n30\r\n"); // a run of 30 steps
    const struct
    {
        const char *title;
        const char *bench;
        const char *expected; // a part of the message; empty: the bench loads
    } cases[] = {
        {"a key on the last step of 100", "модель m.mod\nклавиша 100 1\n", ""},
        {"a key after it", "модель m.mod\nклавиша 101 1\n", "строка 2, столбец 9: шаг 101 за концом прогона (шагов: 100)"},
        {"a fault after a set length", "модель m.mod\nсценарий С\nшагов 5\nнеисправность 6 А обрыв\n",
         "строка 4, столбец 15: шаг 6 за концом прогона (шагов: 5)"},
        {"a common key after the timing file's length", "модель m.mod\nклавиша 0.31с 1\nсценарий С\nвремена m.tim\n",
         "строка 2, столбец 9: шаг 31 за концом прогона (шагов: 30)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        write("b.bench", c.bench);
        const std::expected<LoadedBench, QString> bench = LoadBench(dir.filePath(QStringLiteral("b.bench")));
        if (*c.expected == 0) {
            EXPECT_TRUE(bench.has_value()) << bench.error().toStdString();
            continue;
        }
        ASSERT_FALSE(bench.has_value());
        EXPECT_TRUE(bench.error().contains(QString::fromUtf8(c.expected))) << bench.error().toStdString();
        EXPECT_TRUE(bench.error().contains(dir.filePath(QStringLiteral("b.bench")))) << bench.error().toStdString();
    }
}

TEST(BenchReader, RefusesBadIndicationLevelsWithTheirPlace)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const char *name, const QByteArray &bytes) {
        QFile file(dir.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    };
    write("m.mod", "Реле\r\n 1 \r\nА=p\r\n 2 \r\nЛКЖ=А\r\nЛЖЗ=-А\r\n");
    const struct
    {
        const char *title;
        const char *bench;
        const char *expected; // a part of the message; empty: the bench loads
    } cases[] = {
        {"both outputs", "модель m.mod\nпоказание ЛКЖ 1\nпоказание ЛЖЗ 2\n", ""},
        {"a misspelt output", "модель m.mod\nпоказание ЛКЖ 1\nпоказание  ЛЖ3 2\n",
         "строка 3, столбец 12: выхода «ЛЖ3» нет в модели; может быть, «ЛЖЗ»?"},
        {"a level past З", "модель m.mod\nпоказание ЛКЖ 4\n", "строка 2, столбец 15: уровень показания: «4»"},
        {"a level that is a word", "модель m.mod\nпоказание ЛКЖ зелёный\n", "строка 2, столбец 15"},
        {"one output twice", "модель m.mod\nпоказание ЛКЖ 1\nпоказание ЛКЖ 1\n",
         "строка 3, столбец 11: показание выхода «ЛКЖ» уже задано в строке 2"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        write("b.bench", c.bench);
        const std::expected<LoadedBench, QString> bench = LoadBench(dir.filePath(QStringLiteral("b.bench")));
        if (*c.expected == 0) {
            ASSERT_TRUE(bench.has_value()) << bench.error().toStdString();
            EXPECT_EQ(bench->levels.of[1], 1);
            EXPECT_EQ(bench->levels.of[2], 2);
            continue;
        }
        ASSERT_FALSE(bench.has_value());
        EXPECT_TRUE(bench.error().contains(QString::fromUtf8(c.expected))) << bench.error().toStdString();
        EXPECT_TRUE(bench.error().contains(dir.filePath(QStringLiteral("b.bench")))) << bench.error().toStdString();
    }
}

struct Check
{
    const char *expectation;
    bool passed;
    qint64 step; // where it failed, or where the change came
};

TEST(BenchEvaluate, ChecksEachKindAgainstATrace)
{
    ModelDefinition definition;
    definition.ElemCount = 1;
    definition.ElemName[1] = QStringLiteral("А");
    definition.OutCount = 1;
    definition.OutName[1] = QStringLiteral("Б");
    const SignalNames names(definition);
    // Steps 0 (rest) to 8.      0  1  2  3  4  5  6  7  8
    const std::vector<int> a = {0, 0, 1, 1, 0, 0, 1, 1, 1};
    const std::vector<int> b = {0, 0, 0, 1, 1, 0, 0, 0, 0};
    SignalTrace trace;
    for (size_t k = 0; k < a.size(); ++k)
        trace.values.push_back(uint32_t(a[k]) << 1 | uint32_t(b[k]) << (MaxElements + 1));

    const std::vector<Check> checks = {
        {"А = 1 на 2..3", true, 0},
        {"А = 1 на 2..4", false, 4},
        {"А = 0 на 0.04с", true, 0},
        {"А поднимается на 3..8", true, 6},
        {"А поднимается на 3..5", false, 6},
        {"А падает на 1..8", true, 4},
        {"Б падает на 6..8", false, 8},
        {"никогда А и Б", false, 3},
        {"всегда А или Б или не А", true, 0},
        {"всегда не (А и Б) на 4..8", true, 0},
        {"А меняется 3 раза", true, 0},
        {"А меняется 2 раза на 1..8", false, 6},
        {"Б меняется 3 раза", false, 8},
        {"p = 0", true, 0},
    };
    for (const Check &check : checks) {
        SCOPED_TRACE(check.expectation);
        const QString text = QStringLiteral("модель m.mod\nожидать ") + QString::fromUtf8(check.expectation);
        const std::expected<Bench, BenchError> bench = ParseBench(QStringLiteral("b.bench"), text);
        ASSERT_TRUE(bench.has_value()) << bench.error().message.toStdString();
        const Expectation &expectation = bench->scenarios[0].expectations[0];
        ASSERT_TRUE(CheckSignalNames(expectation, names, QStringLiteral("b.bench")).has_value());
        const auto result = Evaluate(expectation, trace, names, QStringLiteral("b.bench"));
        ASSERT_TRUE(result.has_value()) << result.error().message.toStdString();
        EXPECT_EQ(result->passed, check.passed) << result->detail.toStdString();
        EXPECT_EQ(result->step, check.step) << result->detail.toStdString();
    }

    // Beyond the end of the run, and an unknown name: faults of the bench.
    const auto beyond = ParseBench(QStringLiteral("b.bench"), QStringLiteral("модель m.mod\nожидать А = 1 на 9"));
    ASSERT_TRUE(beyond.has_value());
    const auto late = Evaluate(beyond->scenarios[0].expectations[0], trace, names, QStringLiteral("b.bench"));
    ASSERT_FALSE(late.has_value());
    EXPECT_TRUE(late.error().message.contains(QStringLiteral("строка 2"))) << late.error().message.toStdString();
    const auto unknown = ParseBench(QStringLiteral("b.bench"), QStringLiteral("модель m.mod\nожидать никогда А или Ц"));
    ASSERT_TRUE(unknown.has_value());
    const auto named = CheckSignalNames(unknown->scenarios[0].expectations[0], names, QStringLiteral("b.bench"));
    ASSERT_FALSE(named.has_value());
    EXPECT_TRUE(named.error().message.contains(QStringLiteral("строка 2, столбец 23: сигнала «Ц» нет"))) << named.error().message.toStdString();
}

} // namespace

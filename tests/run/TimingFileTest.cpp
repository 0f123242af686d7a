#include "model/TimingFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

QString writeFile(const QTemporaryDir &dir, const char *name, const QByteArray &bytes)
{
    const QString fileName = dir.filePath(QString::fromLatin1(name));
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return fileName;
}

TEST(CommaDecimal, ReplacesOnlyTheFirstPoint)
{
    EXPECT_EQ(CommaDecimal(QStringLiteral("0.05")), QStringLiteral("0,05"));
    EXPECT_EQ(CommaDecimal(QStringLiteral("1.2.3")), QStringLiteral("1,2.3"));
    EXPECT_EQ(CommaDecimal(QStringLiteral(" 0,01")), QStringLiteral(" 0,01"));
    EXPECT_EQ(CommaDecimal(QString()), QString());
}

TEST(ReadCommaNumber, TakesTheDecimalCommaOnly)
{
    struct Case
    {
        const char *text;
        std::optional<float> value;
    };
    const Case cases[] = {
        {" 0,01", 0.01f}, {"0,05", 0.05f}, {",5", 0.5f}, {"-1,5", -1.5f}, {"+2", 2.0f}, {"1,5e1", 15.0f},
        {"1,2.3", std::nullopt}, {"0.05", std::nullopt}, {"abc", std::nullopt}, {"", std::nullopt},
        {"1,2,3", std::nullopt}, {"1e39", std::nullopt}, {"1 000", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ReadCommaNumber(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(RunLengthFromAnswer, WholeSecondsHalvesToEvenInSteps)
{
    struct Case
    {
        const char *answer;
        std::optional<int32_t> steps;
    };
    const Case cases[] = {
        {"01,00", 100},     {"0,4", 0},   {"1,5", 200},  {"2,5", 200},   {"3.5", 400}, {"0,5", 0},
        {"21474836", 2147483600}, {"21474837", std::nullopt}, {"-1", std::nullopt},
        {"", std::nullopt}, {"abc", std::nullopt}, {"1.2.3", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RunLengthFromAnswer(QString::fromUtf8(c.answer)), c.steps) << c.answer;
}

TEST(TimingFile, WritesOneValuePerLineWithAPoint)
{
    QTemporaryDir dir;
    RunState state;
    state.ElemCount = 2;
    state.Tpr = {0, 0.05f, 1.0f};
    state.Totp = {0, 0.1234567f, 250.5f};
    state.RunLength = 600;
    const QString fileName = dir.filePath(QStringLiteral("t.tim"));
    const FileResult<> written = WriteTimingFile(fileName, state);
    ASSERT_TRUE(written) << written.error().toStdString();
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("0.05\r\n1\r\n0.1234567\r\n250.5\r\n600\r\n"));

    const TimingValues values = ReadTimingFile(fileName, 2).value();
    EXPECT_EQ(values.Tpr[1], 0.05f);
    EXPECT_EQ(values.Tpr[2], 1.0f);
    EXPECT_EQ(values.Totp[1], 0.1234567f);
    EXPECT_EQ(values.Totp[2], 250.5f);
    EXPECT_EQ(values.RunLength, 600);
}

TEST(TimingFile, ReadsCommasSignsExponentsAndShiftsForAnotherElementCount)
{
    QTemporaryDir dir;
    // Written for three elements: 0.1 0.2 0.3 | 0.4 0.5 0.6 | 700.
    const QString fileName = writeFile(dir, "three.tim", ".1,+0.2\n3e-1\r\n\r\n0.4\r\n0.5\r\n0.6\r\n700\r\n");
    const FileResult<TimingValues> read = ReadTimingFile(fileName, 2);
    ASSERT_TRUE(read) << read.error().toStdString();
    const TimingValues &values = *read;
    EXPECT_EQ(values.Tpr[1], 0.1f);
    EXPECT_EQ(values.Tpr[2], 0.2f);
    EXPECT_EQ(values.Totp[1], 0.3f);
    EXPECT_EQ(values.Totp[2], 0.4f);
    EXPECT_EQ(values.RunLength, 0); // the fifth value, 0.5 steps, halves to even
}

TEST(TimingFile, RejectsBadFilesNamingFileAndLine)
{
    QTemporaryDir dir;
    struct Case
    {
        const char *name;
        QByteArray content;
        int elemCount;
        QString fragment; // the line, or the missing value
    };
    const Case cases[] = {
        {"short.tim", "0.1\r\n0.2\r\n0.3\r\n", 2, QStringLiteral("после строки 3")},
        {"empty.tim", "", 1, QStringLiteral("после строки 0")},
        {"word.tim", "0.1\r\nabc\r\n5\r\n", 1, QStringLiteral("строка 2")},
        {"unit.tim", "0.1\r\n0.2\r\n5 s\r\n", 1, QStringLiteral("строка 3")},
        {"negative.tim", "0.1\r\n0.2\r\n-5\r\n", 1, QStringLiteral("строка 3")},
        {"huge.tim", "1e39\r\n0.2\r\n5\r\n", 1, QStringLiteral("строка 1")},
    };
    for (const Case &c : cases) {
        const QString fileName = writeFile(dir, c.name, c.content);
        const FileResult<TimingValues> read = ReadTimingFile(fileName, c.elemCount);
        ASSERT_FALSE(read) << c.name;
        EXPECT_TRUE(read.error().contains(fileName)) << read.error().toStdString();
        EXPECT_TRUE(read.error().contains(c.fragment)) << read.error().toStdString();
    }
    const FileResult<TimingValues> missing = ReadTimingFile(dir.filePath(QStringLiteral("missing.tim")), 1);
    ASSERT_FALSE(missing);
    EXPECT_TRUE(missing.error().contains(QStringLiteral("missing.tim")));
}

} // namespace

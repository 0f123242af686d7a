#include "vesk/CodeTimingFile.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

namespace {

class CodeTimingFileTest : public testing::Test
{
protected:
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }

    QString writeText(const char *name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }

    QTemporaryDir dir;
};

TEST_F(CodeTimingFileTest, WritesThreeLinesWithPeriodsWhateverTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_EQ(CodeTimingFile::format(CodeTiming::Kpt5()),
              QByteArray("0.23,0.57,0.38,0.12\r\n0.38,0.72,0.35,0.12\r\n0.22,0.12,0.22,0.57\r\n"));
    QLocale::setDefault(saved);
}

TEST_F(CodeTimingFileTest, RoundTripIsExact)
{
    const CodeTiming timing = CodeTiming::fromValues({0.1f, 1e-5f, 123.456f, 0.333333343f, 7.0f, -0.5f,
                                                       std::numeric_limits<float>::max(),
                                                       std::numeric_limits<float>::denorm_min(), 0.0f, 1e30f,
                                                       2.5e-3f, 0.81f});
    const FileResult<> written = CodeTimingFile::write(path("t.whd"), timing);
    ASSERT_TRUE(written) << written.error().toStdString();
    const FileResult<CodeTiming> back = CodeTimingFile::read(path("t.whd"));
    ASSERT_TRUE(back) << back.error().toStdString();
    EXPECT_EQ(*back, timing);
}

struct GoodFile
{
    const char *name;
    QByteArray bytes;
    CodeTiming expected;
};

CodeTiming kpt5With(float TintKV, float TimpV1)
{
    CodeTiming t = CodeTiming::Kpt5();
    t.TintKV = TintKV;
    t.TimpV1 = TimpV1;
    return t;
}

TEST_F(CodeTimingFileTest, ReadsAnySeparatorsAndShortForms)
{
    const GoodFile files[] = {
        {"no_leading_zero", ".23,.57,.38,.12\r\n.38,.72,.35,.12\r\n.22,.12,.22,.57\r\n", CodeTiming::Kpt5()},
        {"blanks_and_bare_line_ends", "0.23 0.57\n 0.38,0.12 , 0.38\t0.72\n\n0.35 0.12 0.22 0.12 0.22 0.57",
         CodeTiming::Kpt5()},
        {"signs_exponents_and_more_numbers", "+0.23,23e-2 , 3.8E-1,0.12,.38,.72,.35,.12,.22,.12,.22,.57,9,x",
         kpt5With(0.23f, 0.38f)},
    };
    for (const GoodFile &f : files) {
        const FileResult<CodeTiming> timing = CodeTimingFile::read(writeText(f.name, f.bytes));
        ASSERT_TRUE(timing) << f.name;
        EXPECT_EQ(*timing, f.expected) << f.name;
    }
}

struct BadFile
{
    const char *name;
    QByteArray bytes;
    QString message; // %1: the file's path
};

TEST_F(CodeTimingFileTest, BadFilesAreNamedWithTheirLine)
{
    const BadFile files[] = {
        {"short.whd", "0.23,0.57,0.38,0.12\r\n0.38,0.72,0.35,0.12\r\n0.22,0.12,0.22\r\n",
         QStringLiteral("Файл %1: нужно двенадцать чисел, а найдено 11.")},
        {"empty.whd", "", QStringLiteral("Файл %1: нужно двенадцать чисел, а найдено 0.")},
        {"text.whd", "0.23,0.57,0.38,0.12\r\n0.38,abc,0.35\r\n",
         QStringLiteral("Файл %1, строка 2: «abc» не является числом.")},
        {"comma_decimal.whd", "0.23;0.57\r\n", QStringLiteral("Файл %1, строка 1: «0.23;0.57» не является числом.")},
        {"half_number.whd", "\n\n\n1e\r\n", QStringLiteral("Файл %1, строка 4: «1e» не является числом.")},
        {"two_signs.whd", "+-1", QStringLiteral("Файл %1, строка 1: «+-1» не является числом.")},
        {"infinite.whd", "inf,1,1,1,1,1,1,1,1,1,1,1", QStringLiteral("Файл %1, строка 1: «inf» не является числом.")},
        {"huge.whd", "1e39", QStringLiteral("Файл %1, строка 1: число «1e39» вне допустимого диапазона.")},
    };
    for (const BadFile &f : files) {
        const QString file = writeText(f.name, f.bytes);
        const FileResult<CodeTiming> timing = CodeTimingFile::read(file);
        ASSERT_FALSE(timing) << f.name;
        EXPECT_EQ(timing.error(), f.message.arg(file)) << f.name;
    }
}

TEST_F(CodeTimingFileTest, UnreadableAndUnwritablePlaces)
{
    const FileResult<CodeTiming> missing = CodeTimingFile::read(path("missing.whd"));
    ASSERT_FALSE(missing);
    EXPECT_TRUE(missing.error().startsWith(QStringLiteral("Не удалось открыть файл ") + path("missing.whd")));

    CodeTiming timing = CodeTiming::Kpt7();
    const QString nowhere = path("no/such/folder/t.whd");
    const FileResult<> unwritten = CodeTimingFile::write(nowhere, timing);
    ASSERT_FALSE(unwritten);
    EXPECT_TRUE(unwritten.error().startsWith(QStringLiteral("Не удалось записать файл ") + nowhere))
        << unwritten.error().toStdString();

    timing.TimpZ1 = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(CodeTimingFile::write(path("nan.whd"), timing));
    EXPECT_FALSE(QFile::exists(path("nan.whd")));
}

} // namespace

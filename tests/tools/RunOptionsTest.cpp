#include "tools/RunOptions.h"

#include <gtest/gtest.h>

namespace {

QStringList split(const char *line) { return QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts); }

TEST(RunOptions, ReadsEveryOption)
{
    const auto options = ParseRunOptions(
        split("m.mod --timing t.tim --steps 250 --code -3 --kpt 7 --changes --key 5:ф --key=6:ESC --key 7:EMPTY "
              "--key 8:: --fault 9:2:1 --encoding cp866 --report r.out --vcd v.vcd --verbose "
              "--png p.png --svg=s.svg --csv c.csv --wavejson w.json"));
    ASSERT_TRUE(options) << options.error().toStdString();
    EXPECT_EQ(options->modelPath, QStringLiteral("m"));
    EXPECT_EQ(options->timingFile, QStringLiteral("t.tim"));
    EXPECT_EQ(options->steps, 250);
    EXPECT_EQ(options->code, -3);
    EXPECT_EQ(options->kpt, 7);
    EXPECT_TRUE(options->changes);
    ASSERT_EQ(options->keys.size(), 4);
    EXPECT_EQ(options->keys[0].step, 5);
    EXPECT_EQ(options->keys[0].command, QStringLiteral("ф"));
    EXPECT_EQ(options->keys[1].command, QString(QChar(27)));
    EXPECT_EQ(options->keys[2].command, QString());
    EXPECT_EQ(options->keys[3].command, QStringLiteral(":"));
    ASSERT_EQ(options->faults.size(), 1);
    EXPECT_EQ(options->faults[0].step, 9);
    EXPECT_EQ(options->faults[0].element, 2);
    EXPECT_EQ(options->faults[0].kind, 1);
    EXPECT_EQ(options->encoding, RunOptions::Encoding::Cp866);
    EXPECT_EQ(options->reportFile, QStringLiteral("r.out"));
    EXPECT_EQ(options->vcdFile, QStringLiteral("v.vcd"));
    EXPECT_EQ(options->pngFile, QStringLiteral("p.png"));
    EXPECT_EQ(options->svgFile, QStringLiteral("s.svg"));
    EXPECT_EQ(options->csvFile, QStringLiteral("c.csv"));
    EXPECT_EQ(options->waveJsonFile, QStringLiteral("w.json"));
    EXPECT_TRUE(options->verbose);
}

TEST(RunOptions, DefaultsAndModelNames)
{
    struct Case
    {
        const char *line;
        const char *modelPath;
    };
    const Case cases[] = {
        {"examples/stick-relay.mod", "examples/stick-relay"},
        {"examples/stick-relay", "examples/stick-relay"},
        {"my.dir/relay.mod", "my.dir/relay"},
        {"-- -odd.mod", "-odd"},
    };
    for (const Case &c : cases) {
        const auto options = ParseRunOptions(split(c.line));
        ASSERT_TRUE(options) << c.line << ": " << options.error().toStdString();
        EXPECT_EQ(options->modelPath, QString::fromUtf8(c.modelPath)) << c.line;
        EXPECT_FALSE(options->steps) << c.line;
        EXPECT_EQ(options->code, 0);
        EXPECT_EQ(options->kpt, 5);
        EXPECT_EQ(options->encoding, RunOptions::Encoding::Utf8);
        EXPECT_FALSE(options->changes || options->verbose);
    }
}

TEST(RunOptions, RejectsBadCommandLines)
{
    struct Case
    {
        const char *line;
        const char *fragment; // part of the message
    };
    const Case cases[] = {
        {"", "не задан файл модели"},
        {"a.mod b.mod", "ровно один"},
        {"m --steps -5", "--steps: «-5»"},
        {"m --steps abc", "--steps: «abc»"},
        {"m --steps 99999999999999999999", "от 0 до 2147483647"},
        {"m --steps 2147483648", "от 0 до 2147483647"},
        {"m --steps", "не хватает значения"},
        {"m --code 40000", "от -32768 до 32767"},
        {"m --kpt 6", "5 или 7"},
        {"m --kpt 8", "--kpt: «8» — нужно 5 или 7"},
        {"m --kpt 7 --whd x.whd", "нельзя задавать вместе"},
        {"m --key 0:1", "--key: «0»"},
        {"m --key 5", "ШАГ:КОМАНДА"},
        {"m --key 5:ab", "один символ"},
        {"m --key 5:", "один символ"},
        {"m --key x:1", "--key: «x»"},
        {"m --fault 3:99:1", "от 1 до 20"},
        {"m --fault 3:0:1", "от 1 до 20"},
        {"m --fault 3:1:3", "от 0 до 2"},
        {"m --fault 3:1", "ШАГ:ЭЛЕМЕНТ:ВИД"},
        {"m --encoding koi8", "utf8 или cp866"},
        {"m --changes=yes", "не принимает значения"},
        {"m --bogus", "неизвестный параметр «--bogus»"},
    };
    for (const Case &c : cases) {
        const auto options = ParseRunOptions(split(c.line));
        ASSERT_FALSE(options) << c.line;
        EXPECT_TRUE(options.error().contains(QString::fromUtf8(c.fragment)))
            << c.line << " gave: " << options.error().toStdString();
    }
}

TEST(RunOptions, HelpAndVersionNeedNoModel)
{
    const auto options = ParseRunOptions(split("--help"));
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->help);
    const auto version = ParseRunOptions(split("--version"));
    ASSERT_TRUE(version);
    EXPECT_TRUE(version->version && !version->help);
    EXPECT_TRUE(UsageText().contains(QStringLiteral("--fault ШАГ:ЭЛ:ВИД")));
}

} // namespace

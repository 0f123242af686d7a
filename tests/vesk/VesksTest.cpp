#include "tests/vesk/VeskScript.h"

#include <QLabel>

using namespace VeskScript;

namespace {

// The outputs of `calls` steps with one code, as runs.
std::vector<std::pair<int, int>> runs(Vesks &v, int16_t code, int calls)
{
    std::vector<std::pair<int, int>> result;
    for (int i = 0; i < calls; ++i) {
        EXPECT_EQ(v.WhodKod(code), VeskStatus::Ok);
        if (!result.empty() && result.back().first == v.Wuhod())
            ++result.back().second;
        else
            result.emplace_back(v.Wuhod(), 1);
    }
    return result;
}

using Runs = std::vector<std::pair<int, int>>;

TEST(VesksTest, NewObjectSendsKpt5)
{
    Vesks v;
    EXPECT_EQ(v.Wuhod(), 0);
    EXPECT_EQ(v.Шаг(), 0.01f);
    EXPECT_EQ(timingOf(v), CodeTiming::Kpt5());
    EXPECT_EQ(runs(v, 1, 160), (Runs{{1, 23}, {0, 57}, {1, 23}, {0, 57}}));
}

TEST(VesksTest, UnknownCodesBeepAndKeepTheOutput)
{
    ScriptedPrompts script;
    Vesks v;
    EXPECT_EQ(runs(v, 1, 3), (Runs{{1, 3}}));
    for (int16_t code : {int16_t(4), int16_t(-1)}) {
        EXPECT_EQ(v.WhodKod(code), VeskStatus::Ok) << code;
        EXPECT_EQ(v.Wuhod(), 1) << code;
    }
    EXPECT_EQ(script.beeps(), 2);
    int16_t none = 0;
    EXPECT_EQ(v.WhodKod(none), VeskStatus::Ok);
    EXPECT_EQ(v.Wuhod(), 0);
    EXPECT_EQ(script.beeps(), 2);
    // The pulse goes on with its remaining 20 steps.
    EXPECT_EQ(runs(v, 1, 77), (Runs{{1, 20}, {0, 57}}));
}

TEST(VesksTest, StepErrorsAndSet5)
{
    Vesks v;
    EXPECT_EQ(v.setШаг(0.0f), VeskStatus::DivisionByZero);
    EXPECT_EQ(v.Шаг(), 0.0f);
    EXPECT_EQ(v.setШаг(0.00003f), VeskStatus::Overflow);
    EXPECT_EQ(v.Шаг(), 0.00003f);
    EXPECT_EQ(v.setШаг(0.02f), VeskStatus::Ok);
    EXPECT_EQ(v.setTimpKV(0.5f), VeskStatus::Ok);
    EXPECT_EQ(v.Set5(), VeskStatus::Ok);
    EXPECT_EQ(v.Шаг(), 0.01f);
    // Back to 100 steps per second: 23 and 57 steps again, not 12 and 29.
    EXPECT_EQ(runs(v, 1, 80), (Runs{{1, 23}, {0, 57}}));
    EXPECT_EQ(v.setШаг(2.5f), VeskStatus::Ok);
    int16_t code = 1;
    EXPECT_EQ(v.WhodKod(code), VeskStatus::FloatError);
}

TEST(VesksTest, AboutProgramShowsTheLibrarysVersion)
{
    ScriptedPrompts script;
    Vesks v;
    script.expectDialog(QStringLiteral("frmAbout"), [](QDialog &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("О программе Vesk"));
        auto label = [&d](const char *name) {
            auto *l = d.findChild<QLabel *>(QLatin1String(name));
            return l ? l->text() : QStringLiteral("(none)");
        };
        EXPECT_EQ(label("lblVersion"), QStringLiteral("Версия 1.2.7"));
        EXPECT_EQ(label("lblTitle"), QStringLiteral("Vesk"));
        EXPECT_EQ(label("lblDescription"), QStringLiteral("Моделирует КПТ при задании  временных характеристик кода."));
        EXPECT_FALSE(label("lblDisclaimer").isEmpty());
    });
    EXPECT_EQ(v.AboutProgram(), VeskStatus::Ok);
}

} // namespace

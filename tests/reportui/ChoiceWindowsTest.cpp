#include "report/frmOutdev.h"
#include "report/frmSubmenu.h"

#include "report/ReportOutput.h"
#include "tests/support/ScriptedPrompts.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

using A = Prompt::Answer;

const MessageRequest ContinueQuestion{QStringLiteral("Продолжить вывод?"), {}, Prompt::Buttons::YesNo,
                                      Prompt::Icon::Question, std::nullopt};
const MessageRequest NewFileQuestion{QStringLiteral("Вывод в новый файл?"), {}, Prompt::Buttons::YesNo,
                                     Prompt::Icon::Question, A::No};

template<typename T>
T *control(QDialog &dialog, const char *name)
{
    T *found = dialog.findChild<T *>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void clickOk(QDialog &dialog) { control<QPushButton>(dialog, "Command1")->click(); }

TEST(frmSubmenuTest, AskContinueGivesTheCodeOfTheChosenOption)
{
    struct Case
    {
        const char *name;
        A continueAnswer;
        std::function<void(QDialog &)> user; // empty: the window must not open
        int16_t code;
    };
    const auto pick = [](const char *option) {
        return [option](QDialog &d) {
            control<QRadioButton>(d, option)->click();
            clickOk(d);
        };
    };
    const Case cases[] = {
        {"Yes to the question", A::Yes, {}, 2},
        {"Ok untouched", A::No, clickOk, 2},
        {"Изменить параметры", A::No, pick("Option1"), 1},
        {"Перенаправить вывод", A::No, pick("Option3"), 3},
        {"Очистить отчет", A::No, pick("Option4"), 5},
        {"Завершить работу", A::No, pick("Option5"), 4},
        {"close box after a choice", A::No,
         [](QDialog &d) {
             control<QRadioButton>(d, "Option5")->click();
             d.close();
         },
         2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPrompts prompts;
        prompts.expectMessage(ContinueQuestion, c.continueAnswer);
        if (c.user)
            prompts.expectDialog(QStringLiteral("frmSubmenu"), c.user);
        EXPECT_EQ(AskContinue(), c.code);
    }
}

TEST(frmSubmenuTest, OpensWithTheSecondOptionAndTheOptionsInTheirOrder)
{
    frmSubmenu window;
    window.show();
    QList<QRadioButton *> options = window.findChildren<QRadioButton *>();
    std::sort(options.begin(), options.end(), [](auto *a, auto *b) { return a->y() < b->y(); });
    QStringList captions;
    for (const QRadioButton *option : options)
        captions << option->text();
    EXPECT_EQ(captions, QStringList({QStringLiteral("Изменить параметры"), QStringLiteral("Продолдить вывод"),
                                     QStringLiteral("Перенаправить вывод"), QStringLiteral("Очистить отчет"),
                                     QStringLiteral("Завершить работу")}));
    EXPECT_TRUE(window.continueOutputOption->isChecked());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Сейчас нужно:"));
    EXPECT_EQ(window.Result(), 2);
}

TEST(ChoiceWindowsTest, OnlyAClickOnTheBareBackgroundBeeps)
{
    frmSubmenu submenu;
    frmOutdev outdev;
    struct Case
    {
        QDialog *window;
        QWidget *control;
    };
    for (const Case c : {Case{&submenu, submenu.redirectOutputOption}, Case{&outdev, outdev.printerBox}}) {
        SCOPED_TRACE(c.window->objectName().toStdString());
        ScriptedPrompts prompts;
        c.window->show();
        QTest::mouseClick(c.window, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_EQ(prompts.beeps(), 1);
        QTest::mouseClick(c.control, Qt::LeftButton, {}, QPoint(4, c.control->height() / 2));
        EXPECT_EQ(prompts.beeps(), 1);
        EXPECT_TRUE(c.window->isVisible()); // the background click does nothing else
    }
}

class NoDevices : public OutputDevices
{
public:
    void ScreenRow(const QByteArray &) override {}
    void ScreenHeading(const QByteArray &) override {}
    void ReportError(const QString &message) override { errors << message; }
    QStringList errors;
};

TEST(frmOutdevTest, ChooseOutputDevices)
{
    struct Flags
    {
        int16_t screen, printer, file;
        bool operator==(const Flags &) const = default;
    };
    struct Case
    {
        const char *name;
        Flags before;
        Flags shown; // the boxes as the window opens
        std::function<void(QDialog &)> user;
        std::optional<A> newFile; // the answer to "Вывод в новый файл?", if asked
        Flags after;
        QByteArray reportAfter;
    };
    const QByteArray earlier("earlier rows\r\n");
    const auto click = [](std::vector<const char *> boxes) {
        return [boxes](QDialog &d) {
            for (const char *box : boxes)
                control<QCheckBox>(d, box)->click();
            clickOk(d);
        };
    };
    const Case cases[] = {
        {"screen was off, Ok untouched", {0, 0, 0}, {-1, 0, 0}, clickOk, {}, {-1, 0, 0}, earlier},
        {"printer and file kept, old file kept", {-1, -1, -1}, {-1, -1, -1}, clickOk, A::No, {-1, -1, -1}, earlier},
        {"file kept, new file", {-1, 0, -1}, {-1, 0, -1}, clickOk, A::Yes, {-1, 0, -1}, ""},
        {"file cleared leaves the file", {-1, 0, -1}, {-1, 0, -1}, click({"chkFiler"}), {}, {-1, 0, 0}, earlier},
        {"screen off, printer on", {-1, 0, 0}, {-1, 0, 0}, click({"chkScr", "chkPrin"}), {}, {0, -1, 0}, earlier},
        {"file switched on, new file", {-1, 0, 0}, {-1, 0, 0}, click({"chkFiler"}), A::Yes, {-1, 0, -1}, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        RunState state;
        state.ModelPath = dir.filePath(QStringLiteral("dev"));
        QFile report(state.ModelPath + QLatin1String(".out"));
        ASSERT_TRUE(report.open(QIODevice::WriteOnly));
        report.write(earlier);
        report.close();
        state.ToScreen = c.before.screen;
        state.ToPrinter = c.before.printer;
        state.ToFile = c.before.file;
        NoDevices devices;
        ReportOutput output(state, devices);

        ScriptedPrompts prompts;
        Flags shown{};
        prompts.expectDialog(QStringLiteral("frmOutdev"), [&](QDialog &d) {
            const auto flag = [&](const char *box) { return int16_t(control<QCheckBox>(d, box)->isChecked() ? -1 : 0); };
            shown = {flag("chkScr"), flag("chkPrin"), flag("chkFiler")};
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Устройства для вывода"));
            c.user(d);
        });
        if (c.newFile)
            prompts.expectMessage(NewFileQuestion, *c.newFile);
        ChooseOutputDevices(state, output);

        EXPECT_TRUE(shown == c.shown);
        EXPECT_TRUE((Flags{state.ToScreen, state.ToPrinter, state.ToFile} == c.after));
        ASSERT_TRUE(report.open(QIODevice::ReadOnly));
        EXPECT_EQ(report.readAll(), c.reportAfter);
        EXPECT_TRUE(devices.errors.isEmpty());
    }
}

} // namespace

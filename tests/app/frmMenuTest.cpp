#include "app/frmMenu.h"
#include "app/RunCommands.h"
#include "app/StartUp.h"
#include "editor/frmEditor.h"
#include "help/frmHelp.h"
#include "platform/Settings.h"
#include "tests/app/TempStore.h"
#include "tests/support/RecordingSound.h"
#include "tests/support/ScriptedPrompts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

QString stored(const char *key) { return Settings::GetSetting(QLatin1String(key), QStringLiteral("(none)")); }

QAction *menuEntry(frmMenu &menu, const char *name) { return menu.findChild<QAction *>(QLatin1String(name)); }

// A window that notes its unload in a shared log, with the stored speed at
// that moment: the main window's own settings must come after every unload.
// It can refuse, as the editor does when saving changed text fails.
class LoggingWindow : public QWidget
{
public:
    LoggingWindow(const QString &name, QStringList &log, bool refuses = false)
        : m_name(name), m_log(log), m_refuses(refuses)
    {
        setWindowTitle(name);
    }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        m_log << m_name + QStringLiteral(" (Speed ") + stored("Speed") + QLatin1Char(')');
        event->setAccepted(!m_refuses);
    }

private:
    QString m_name;
    QStringList &m_log;
    bool m_refuses;
};

TEST(frmMenu, FirstStartWithAnEmptyStore)
{
    TempStore store;
    ModelState state;
    const std::unique_ptr<frmMenu> menu = StartUp(state);
    const double dpiX = menu->logicalDpiX();
    const double dpiY = menu->logicalDpiY();
    EXPECT_EQ(menu->pos(), QPoint(Settings::twipsToPixels(1000, dpiX), Settings::twipsToPixels(1000, dpiY)));
    EXPECT_EQ(menu->size(), QSize(Settings::twipsToPixels(6500, dpiX), Settings::twipsToPixels(6500, dpiY)));
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Модель"));
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("Модель"));
    EXPECT_EQ(state.Speed, 0);
    EXPECT_EQ(state.ToScreen, FlagTrue);
    EXPECT_EQ(state.ToPrinter, FlagFalse);
    EXPECT_EQ(state.ToFile, FlagFalse);
    EXPECT_FALSE(menu->toolButton(4)->isChecked());
    EXPECT_FALSE(menu->toolButton(5)->isChecked());
    EXPECT_TRUE(menu->toolButton(6)->isChecked());
    EXPECT_TRUE(menu->picture()->isVisible());
    EXPECT_EQ(menu->statusPanel(1)->text(), QStringLiteral("Моделирование"));
    EXPECT_EQ(menu->statusPanel(5)->toolTip(), QStringLiteral("Это время!"));
}

TEST(frmMenu, SpeedSettingIsASixteenBitCount)
{
    struct Case { const char *stored; int16_t speed; };
    const Case cases[] = {{nullptr, 0}, {"7", 7}, {" 12 ", 12}, {"abc", 0}, {"-5", 0}, {"99999", 32767}, {"2.5", 2}};
    for (const Case &c : cases) {
        TempStore store;
        if (c.stored)
            Settings::SaveSetting(QStringLiteral("Speed"), QLatin1String(c.stored));
        EXPECT_EQ(LoadSpeedSetting(), c.speed) << (c.stored ? c.stored : "(missing)");
    }
}

TEST(frmMenu, PlaceAndSpeedRoundTrip)
{
    TempStore store;
    ModelState state;
    state.Speed = 9;
    {
        frmMenu menu(state);
        menu.show();
        menu.move(150, 120);
        menu.resize(700, 500);
        EXPECT_TRUE(menu.close());
        const double dpi = menu.logicalDpiX();
        EXPECT_EQ(stored("MenuLeft"), QString::number(Settings::pixelsToTwips(150, dpi)));
        EXPECT_EQ(stored("MenuWidth"), QString::number(Settings::pixelsToTwips(700, dpi)));
    }
    EXPECT_EQ(stored("Speed"), QStringLiteral("9"));
    frmMenu again(state);
    EXPECT_EQ(again.pos(), QPoint(150, 120));
    EXPECT_EQ(again.size(), QSize(700, 500));
}

TEST(frmMenu, MinimizedWindowKeepsTheStoredPlaceButStoresSpeed)
{
    TempStore store;
    Settings::SaveSetting(QStringLiteral("MenuLeft"), QStringLiteral("2000"));
    Settings::SaveSetting(QStringLiteral("MenuHeight"), QStringLiteral("3000"));
    ModelState state;
    frmMenu menu(state);
    menu.show();
    menu.showMinimized();
    state.Speed = 5;
    menu.close();
    EXPECT_EQ(stored("MenuLeft"), QStringLiteral("2000"));
    EXPECT_EQ(stored("MenuHeight"), QStringLiteral("3000"));
    EXPECT_EQ(stored("MenuTop"), QStringLiteral("(none)"));
    EXPECT_EQ(stored("Speed"), QStringLiteral("5"));
}

TEST(frmMenu, OutputButtonsSetTheirFlagFromTheirOwnState)
{
    struct Case { int position; int clicks; int16_t ModelState::*flag; int16_t before; int16_t after; };
    const Case cases[] = {
        {4, 1, &ModelState::ToFile, FlagFalse, FlagTrue},
        {4, 2, &ModelState::ToFile, FlagFalse, FlagFalse},
        {5, 1, &ModelState::ToPrinter, FlagFalse, FlagTrue},
        {6, 1, &ModelState::ToScreen, FlagTrue, FlagFalse},
        {6, 2, &ModelState::ToScreen, FlagTrue, FlagTrue},
        // Changed elsewhere: the button still goes by its own state.
        {4, 1, &ModelState::ToFile, FlagTrue, FlagTrue},
        {6, 1, &ModelState::ToScreen, FlagFalse, FlagFalse},
    };
    TempStore store;
    for (const Case &c : cases) {
        ModelState state;
        state.*c.flag = c.before;
        frmMenu menu(state);
        for (int i = 0; i < c.clicks; ++i)
            menu.toolButton(c.position)->trigger();
        EXPECT_EQ(state.*c.flag, c.after) << "button " << c.position << ", " << c.clicks << " click(s)";
    }
}

TEST(frmMenu, RunLockDisablesButtonsOneToThirteenAndFourMenus)
{
    TempStore store;
    ModelState state;
    frmMenu menu(state);
    menu.show();
    const char *lockedMenus[] = {"mnuFile", "mnuModel", "mnuEdit", "mnuReports"};
    const char *freeMenus[] = {"nmuWindow", "mnuOptions", "mnuHelp"};
    for (bool locked : {true, false}) {
        menu.setRunLocked(locked);
        for (int position = 1; position <= 15; ++position)
            EXPECT_EQ(menu.toolButton(position)->isEnabled(), !locked || position > 13)
                << "button " << position << (locked ? " locked" : " unlocked");
        for (const char *name : lockedMenus)
            EXPECT_EQ(menuEntry(menu, name)->isEnabled(), !locked) << name;
        for (const char *name : freeMenus)
            EXPECT_TRUE(menuEntry(menu, name)->isEnabled()) << name;
    }
    EXPECT_EQ(menu.toolButton(15)->data().toString(), QStringLiteral("Copy"));
    EXPECT_TRUE(menu.picture()->isHidden()); // locking hid it; unlocking leaves it hidden
}

// Notes each hand-over with the run mode in force, and the host handed over.
struct NotedCommands : RunCommands
{
    void startRun(RunWindowHost &host, ModelState &state) override
    {
        calls << QStringLiteral("run %1").arg(state.ChangeMode);
        hosts << &host;
    }
    void showReport(RunWindowHost &host, ModelState &) override
    {
        calls << QStringLiteral("report");
        hosts << &host;
    }
    void analyseFaults(RunWindowHost &host, ModelState &) override
    {
        calls << QStringLiteral("faults");
        hosts << &host;
    }
    void showSchematic(RunWindowHost &host, ModelState &) override
    {
        calls << QStringLiteral("schematic");
        hosts << &host;
    }
    void proveProperties(RunWindowHost &host, ModelState &) override
    {
        calls << QStringLiteral("prove");
        hosts << &host;
    }

    QStringList calls;
    QList<RunWindowHost *> hosts;
};

TEST(frmMenu, RunAndReportCommandsHandOver)
{
    struct Case { const char *menuEntry; int toolButton; int16_t changeMode; const char *hook; };
    const Case cases[] = {
        {"mnuModelTimdiag", 8, FlagFalse, "run"},
        {"mnuModelIzmdiag", 9, FlagTrue, "run"},
        {"mnuReports", 11, 99, "report"},
    };
    TempStore store;
    for (const Case &c : cases) {
        for (bool fromToolbar : {false, true}) {
            ModelState state;
            state.ChangeMode = 99;
            NotedCommands commands;
            frmMenu menu(state, &commands);
            (fromToolbar ? menu.toolButton(c.toolButton) : menuEntry(menu, c.menuEntry))->trigger();
            const QString expected = QLatin1String(c.hook) == QLatin1String("run")
                                         ? QStringLiteral("run %1").arg(c.changeMode)
                                         : QStringLiteral("report");
            EXPECT_EQ(commands.calls, QStringList{expected}) << c.menuEntry << (fromToolbar ? " (toolbar)" : "");
            EXPECT_EQ(commands.hosts, QList<RunWindowHost *>{&menu}) << c.menuEntry;
            EXPECT_EQ(state.ChangeMode, c.changeMode) << c.menuEntry;
        }
    }
    {
        ModelState state;
        NotedCommands commands;
        frmMenu menu(state, &commands);
        menuEntry(menu, "mnuModelFaults")->trigger();
        EXPECT_EQ(commands.calls, QStringList{QStringLiteral("faults")});
        EXPECT_EQ(commands.hosts, QList<RunWindowHost *>{&menu});
    }
    {
        ModelState state;
        state.ModelPath = QStringLiteral("decoder"); // chosen: no file dialog
        NotedCommands commands;
        frmMenu menu(state, &commands);
        menuEntry(menu, "mnuModelSchematic")->trigger();
        menuEntry(menu, "mnuModelProve")->trigger();
        EXPECT_EQ(commands.calls, (QStringList{QStringLiteral("schematic"), QStringLiteral("prove")}));
        EXPECT_EQ(commands.hosts, (QList<RunWindowHost *>{&menu, &menu}));
    }
    // Without commands to hand over to, the commands end after setting the mode.
    ModelState state;
    frmMenu menu(state);
    menuEntry(menu, "mnuModelIzmdiag")->trigger();
    EXPECT_EQ(state.ChangeMode, FlagTrue);
}

TEST(frmMenu, PictureIsHiddenByTheListedCommandsOnly)
{
    TempStore store;
    struct Case { const char *name; std::function<void(frmMenu &)> command; bool hides; };
    const Case cases[] = {
        {"opening Файл", [](frmMenu &m) { emit m.findChild<QMenu *>(QStringLiteral("mnuFile"))->aboutToShow(); }, true},
        {"Отчеты", [](frmMenu &m) { menuEntry(m, "mnuReports")->trigger(); }, true},
        {"Параметры", [](frmMenu &m) { menuEntry(m, "mnuOptions")->trigger(); }, true},
        {"Графики", [](frmMenu &m) { menuEntry(m, "mnuModelWaves")->trigger(); }, true},
        {"a run lock", [](frmMenu &m) { m.setRunLocked(true); }, true},
        {"Временные диаграммы", [](frmMenu &m) { menuEntry(m, "mnuModelTimdiag")->trigger(); }, false},
        {"opening Окно", [](frmMenu &m) { emit m.findChild<QMenu *>(QStringLiteral("nmuWindow"))->aboutToShow(); }, false},
        {"Вывод в файл", [](frmMenu &m) { m.toolButton(4)->trigger(); }, false},
    };
    for (const Case &c : cases) {
        ModelState state;
        frmMenu menu(state);
        menu.show();
        c.command(menu);
        EXPECT_EQ(menu.picture()->isHidden(), c.hides) << c.name;
        if (c.hides) { // the document area takes the whole client area
            EXPECT_EQ(menu.childArea().geometry(), menu.centralWidget()->rect()) << c.name;
        }
    }
}

// With no place stored yet, «Графики» opens clear of where the diagram
// window opens: on its right in a wide main window, below it in a tall one.
TEST(frmMenu, WavesOpenBesideTheDiagramWindowsPlace)
{
    const struct { QSize menu; bool right; } cases[] = {{QSize(1200, 700), true}, {QSize(700, 1200), false}};
    for (const auto &c : cases) {
        TempStore store;
        ModelState state;
        frmMenu menu(state);
        menu.resize(c.menu);
        menu.show();
        menuEntry(menu, "mnuModelWaves")->trigger();
        const QList<QMdiSubWindow *> windows = menu.childArea().subWindowList();
        ASSERT_EQ(windows.size(), 1);
        const QRect waves = windows.first()->geometry();
        const double dpiX = menu.logicalDpiX();
        const double dpiY = menu.logicalDpiY();
        // The diagram's default place: 1000 twips in, 6500 twips square.
        const QRect diagram(Settings::twipsToPixels(1000, dpiX), Settings::twipsToPixels(1000, dpiY),
                            Settings::twipsToPixels(6500, dpiX), Settings::twipsToPixels(6500, dpiY));
        EXPECT_FALSE(waves.intersects(diagram)) << c.right;
        EXPECT_EQ(waves.topLeft(), c.right ? QPoint(diagram.right() + 1, diagram.top())
                                           : QPoint(diagram.left(), diagram.bottom() + 1));
        EXPECT_TRUE(menu.childArea().viewport()->rect().contains(waves)) << c.right;
    }
}

TEST(frmMenu, PictureLayoutNeverGoesNegative)
{
    TempStore store;
    ModelState state;
    frmMenu menu(state);
    menu.show();
    for (const QSize &size : {QSize(600, 700), QSize(300, 60)}) {
        menu.resize(size);
        QCoreApplication::processEvents();
        EXPECT_GE(menu.picture()->height(), 0);
        EXPECT_LE(menu.picture()->height(), menu.centralWidget()->height());
        EXPECT_EQ(menu.childArea().geometry().bottom(), menu.centralWidget()->rect().bottom());
    }
}

TEST(frmMenu, ClickOnTheEmptyAreaOrPicturePlaysTheFanfare)
{
    TempStore store;
    ModelState state;
    frmMenu menu(state);
    menu.show();
    const QString file = QCoreApplication::applicationDirPath() + QStringLiteral("/Fanfare.wav");
    const QStringList fanfare = {QStringLiteral("Open ") + file, QStringLiteral("Sound ") + file,
                                 QStringLiteral("Close ") + file};
    for (QWidget *target : {menu.picture(), static_cast<QWidget *>(menu.childArea().viewport())}) {
        RecordingSound sound;
        menu.hidePicture(); // the second round clicks the uncovered area
        QTest::mouseClick(target, Qt::LeftButton);
        QTest::mouseClick(target, Qt::RightButton);
        EXPECT_EQ(sound.log, fanfare);
    }
}

TEST(frmMenu, ClosingUnloadsFromTheMostRecentWindowDown)
{
    TempStore store;
    QStringList log;
    ModelState state;
    state.Speed = 3;
    frmMenu menu(state);
    menu.show();
    auto *first = new LoggingWindow(QStringLiteral("first"), log);
    auto *second = new LoggingWindow(QStringLiteral("second"), log);
    menu.addChildWindow(first)->show();
    LoggingWindow own(QStringLiteral("own"), log);
    own.show();
    menu.registerLoaded(&own);
    menu.addChildWindow(second)->show();
    menu.registerLoaded(&own); // already loaded: keeps its place
    EXPECT_EQ(menu.loadedWindows().size(), 3);

    EXPECT_TRUE(menu.close());
    EXPECT_EQ(log, (QStringList{QStringLiteral("second (Speed (none))"), QStringLiteral("own (Speed (none))"),
                                QStringLiteral("first (Speed (none))")}));
    EXPECT_EQ(stored("Speed"), QStringLiteral("3"));
}

TEST(frmMenu, AWindowThatCannotSaveKeepsTheProgramOpen)
{
    TempStore store;
    QStringList log;
    ModelState state;
    frmMenu menu(state);
    menu.show();
    menu.addChildWindow(new LoggingWindow(QStringLiteral("first"), log))->show();
    menu.addChildWindow(new LoggingWindow(QStringLiteral("unsaved"), log, true))->show();
    EXPECT_FALSE(menu.close());
    EXPECT_EQ(log, QStringList{QStringLiteral("unsaved (Speed (none))")});
    EXPECT_EQ(stored("Speed"), QStringLiteral("(none)"));
    EXPECT_EQ(menu.loadedWindows().size(), 2);
}

TEST(frmMenu, ChildWindowsNotRecordedStillUnloadBeforeTheEnd)
{
    // Report viewing puts the editor straight into the document area; it
    // must still get its unload (and so its save question) at the end.
    TempStore store;
    QStringList log;
    ModelState state;
    frmMenu menu(state);
    menu.show();
    menu.addChildWindow(new LoggingWindow(QStringLiteral("recorded"), log))->show();
    menu.childArea().addSubWindow(new LoggingWindow(QStringLiteral("unrecorded"), log))->show();
    EXPECT_TRUE(menu.close());
    EXPECT_EQ(log, (QStringList{QStringLiteral("recorded (Speed (none))"), QStringLiteral("unrecorded (Speed (none))")}));
    EXPECT_EQ(stored("Speed"), QStringLiteral("0"));
}

TEST(frmMenu, WindowMenuListsTheChildWindows)
{
    TempStore store;
    QStringList log;
    ModelState state;
    frmMenu menu(state);
    menu.show();
    menu.addChildWindow(new LoggingWindow(QStringLiteral("Первое"), log))->show();
    QMdiSubWindow *second = menu.addChildWindow(new LoggingWindow(QStringLiteral("Второе"), log));
    second->show();
    menu.childArea().setActiveSubWindow(second);
    auto *windowMenu = menu.findChild<QMenu *>(QStringLiteral("nmuWindow"));
    emit windowMenu->aboutToShow();
    QStringList entries;
    for (QAction *a : windowMenu->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") : a->text() + (a->isChecked() ? QStringLiteral(" *") : QString()));
    EXPECT_EQ(entries, (QStringList{QStringLiteral("&Каскад"), QStringLiteral("&Мозайка"), QStringLiteral("-"),
                                    QStringLiteral("&1 Первое"), QStringLiteral("&2 Второе *")}));
    windowMenu->actions().at(3)->trigger();
    EXPECT_EQ(menu.childArea().activeSubWindow()->windowTitle(), QStringLiteral("Первое"));
}

class frmMenuWithModel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile file(m_dir.filePath(QStringLiteral("relay.mod")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Relay\r\n 0 \r\n 0 \r\n");
        state.ModelPath = m_dir.filePath(QStringLiteral("relay"));
    }

    TempStore store;
    QTemporaryDir m_dir;
    ModelState state;
};

TEST_F(frmMenuWithModel, EditorOpensTheModelAndAsksItsQuestionBeforeTheEnd)
{
    frmMenu menu(state);
    menu.show();
    menuEntry(menu, "mnuEdit")->trigger(); // no file dialog: the model is known
    auto *editor = menu.findChild<frmEditor *>();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->nmF, state.ModelPath + QStringLiteral(".mod"));
    EXPECT_TRUE(editor->textBox->toPlainText().startsWith(QStringLiteral("Relay")));
    EXPECT_TRUE(menu.picture()->isHidden());
    // The active editor's menus stand in the menu bar.
    QList<QAction *> editorMenus;
    for (QMenu *m : editor->menus())
        editorMenus << m->menuAction();
    EXPECT_EQ(menu.menuBar()->actions(), editorMenus);
    EXPECT_EQ(menu.loadedWindows(), QList<QWidget *>{editor->parentWidget()});

    editor->textBox->insertPlainText(QStringLiteral("изменено "));
    {
        ScriptedPrompts s;
        s.expectMessage({QStringLiteral("Вы не сохранили свои изменения! Хотите сохранить?"), QStringLiteral("Привет!"),
                         Prompt::Buttons::YesNo, Prompt::Icon::Exclamation, std::nullopt},
                        Prompt::Answer::No);
        EXPECT_EQ(stored("Speed"), QStringLiteral("(none)"));
        EXPECT_TRUE(menu.close());
    }
    EXPECT_EQ(stored("Speed"), QStringLiteral("0"));
}

// "&Редактирование" and the toolbar's "Редактор" load the model again.
TEST_F(frmMenuWithModel, EditingAgainAsksBeforeReloadingUnsavedText)
{
    const MessageRequest question{QStringLiteral("Вы не сохранили свои изменения! Хотите сохранить?"),
                                  QStringLiteral("Привет!"), Prompt::Buttons::YesNo, Prompt::Icon::Exclamation,
                                  std::nullopt};
    frmMenu menu(state);
    menu.show();
    menuEntry(menu, "mnuEdit")->trigger();
    auto *editor = menu.findChild<frmEditor *>();
    ASSERT_TRUE(editor);
    editor->textBox->insertPlainText(QStringLiteral("изменено "));
    const QString edited = editor->plainText();
    {
        // Yes, but the save fails (the folder is a regular file): the editor stays as it was.
        QFile(m_dir.filePath(QStringLiteral("plain"))).open(QIODevice::WriteOnly);
        editor->nmF = m_dir.filePath(QStringLiteral("plain/relay.mod"));
        ScriptedPrompts s;
        s.expectMessage(question, Prompt::Answer::Yes)
            .expectMessage({QStringLiteral("Файл %1 не сохранен: нет права на запись или папка не существует. "
                                           "Текст остался в редакторе.").arg(editor->nmF),
                            QString(), Prompt::Buttons::Ok, Prompt::Icon::Exclamation, std::nullopt},
                           Prompt::Answer::Ok);
        menuEntry(menu, "mnuEdit")->trigger();
        EXPECT_TRUE(s.finished());
    }
    EXPECT_EQ(editor->plainText(), edited);
    EXPECT_TRUE(editor->isModified());
    {
        ScriptedPrompts s;
        s.expectMessage(question, Prompt::Answer::No);
        menu.toolButton(13)->trigger();
        EXPECT_TRUE(s.finished());
    }
    EXPECT_EQ(editor->plainText(), QStringLiteral("Relay\n 0 \n 0 \n"));
    EXPECT_FALSE(editor->isModified());
}

TEST_F(frmMenuWithModel, TheEditorTypesAsTheInsPanelSays)
{
    frmMenu menu(state);
    menu.show();
    menu.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&menu));
    menuEntry(menu, "mnuEdit")->trigger();
    auto *editor = menu.findChild<frmEditor *>();
    ASSERT_TRUE(editor);
    editor->textBox->moveCursor(QTextCursor::Start);
    ASSERT_TRUE(editor->textBox->hasFocus());

    struct Step { bool pressInsert; QString panel; const char16_t *typed; QString text; };
    const Step steps[] = {
        {false, QStringLiteral("INS"), u"A", QStringLiteral("ARelay")},
        {true, QString(), u"BC", QStringLiteral("ABClay")},
        {true, QStringLiteral("INS"), u"D", QStringLiteral("ABCDlay")},
    };
    for (const Step &step : steps) {
        // Through the window, as the window system delivers a key: with a
        // time stamp of its own.
        if (step.pressInsert)
            QTest::keyClick(menu.windowHandle(), Qt::Key_Insert);
        for (int wait = 0; wait < 40 && menu.statusPanel(3)->text() != step.panel; ++wait)
            QTest::qWait(25); // the panels follow on a timer
        EXPECT_EQ(menu.statusPanel(3)->text(), step.panel);
        QTest::keyClicks(editor->textBox, QString::fromUtf16(step.typed));
        EXPECT_EQ(editor->plainText().section(QLatin1Char('\n'), 0, 0), step.text);
    }
}

TEST_F(frmMenuWithModel, EditingWithoutAModelAsksForOneAndACancelEndsIt)
{
    state.ModelPath.clear();
    frmMenu menu(state);
    {
        ScriptedPrompts s;
        FileRequest open;
        open.filter = QStringLiteral("Файлы mod |*.mod");
        open.initDir = QCoreApplication::applicationDirPath();
        s.expectFile(open, QString());
        menu.toolButton(13)->trigger();
    }
    EXPECT_EQ(menu.findChild<frmEditor *>(), nullptr);
    EXPECT_TRUE(menu.loadedWindows().isEmpty());
}

TEST_F(frmMenuWithModel, OpenCommandChoosesTheCurrentModel)
{
    state.ModelPath.clear();
    frmMenu menu(state);
    {
        ScriptedPrompts s;
        FileRequest open;
        open.filter = QStringLiteral("Файлы mod |*.mod");
        open.initDir = QCoreApplication::applicationDirPath();
        s.expectFile(open, m_dir.filePath(QStringLiteral("relay.mod")));
        menu.toolButton(2)->trigger();
    }
    EXPECT_EQ(state.ModelPath, m_dir.filePath(QStringLiteral("relay")));
}

TEST(frmMenu, HelpAboutAndPrinterCommands)
{
    TempStore store;
    ModelState state;
    frmMenu menu(state);
    menu.show();
    {
        ScriptedPrompts s;
        s.expectDialog(QStringLiteral("frmAbout"), [](QDialog &box) {
            EXPECT_EQ(box.windowTitle(), QStringLiteral("О программе Модель"));
            const auto label = [&box](const char *name) {
                return box.findChild<QLabel *>(QLatin1String(name))->text();
            };
            EXPECT_EQ(label("lblTitle"), QStringLiteral("Модель"));
            EXPECT_EQ(label("lblVersion"), QStringLiteral("Версия 1.1.15"));
            EXPECT_EQ(label("lblDescription"),
                      QStringLiteral("Моделирует дискретные устройства при задании  функций возбуждения  "
                                     "и временных характеристик элементов."));
        });
        s.expectPrinter(false);
        menuEntry(menu, "mnuHelpAbout")->trigger();
        menuEntry(menu, "mnuFilePrinter")->trigger();
    }
    menuEntry(menu, "mnuHelpHelp")->trigger();
    frmHelp *help = frmHelp::Instance();
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(menu.loadedWindows(), QList<QWidget *>{help});
    EXPECT_TRUE(menu.picture()->isHidden());
    menu.close();
    EXPECT_FALSE(frmHelp::Instance() && frmHelp::Instance()->isVisible());
}

} // namespace

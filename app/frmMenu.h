#pragma once

#include "model/ModelState.h"
#include "platform/CommonDialog.h"
#include "platform/RunWindowHost.h"

#include <QLabel>
#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <memory>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QToolBar;
class RunCommands;
class StatusPanels;

// The main window: a multiple-document frame with the menu bar, the toolbar
// tbToolBar, the status bar and the start-up picture. Every command starts
// here and hands over to the routine that does the work; the run and report
// commands hand over to the RunCommands it was made with. Closing it unloads
// every other window, most recently loaded first, and ends the program.
//
// The menu commands keep their names as objectNames: mnuFileOpen,
// mnuFileNew, mnuFilePrinter, mnuFileCopy, mnuModelTimdiag, mnuModelIzmdiag,
// mnuEdit, mnuReports, mnuOptions, mnuHelpHelp and mnuHelpAbout; a click on
// the empty document area or the picture Picture1 is the frame's own click.
class frmMenu : public QMainWindow, public RunWindowHost
{
    Q_OBJECT
public:
    explicit frmMenu(ModelState &state, RunCommands *commands = nullptr, QWidget *parent = nullptr);
    ~frmMenu() override;

    // RunWindowHost. The file dialog is the one shared dialog CDL1: a
    // property one user sets stays set for the next. The printer is the one
    // the printer dialog sets up, made on first use.
    QWidget &hostWindow() override { return *this; }
    void showModelName(const QString &name) override;
    QMdiArea &childArea() const override { return *m_mdiArea; }
    CommonDialog &fileDialog() override { return m_fileDialog; }
    QPrinter &printer() override;
    // During a run toolbar buttons 1..13 and the menus "&Файл",
    // "&Моделирование", "&Редактирование" and "&Отчеты" are disabled.
    // Locking also hides the start-up picture; unlocking does not show it.
    void setRunLocked(bool locked) override;

    void hidePicture();

    // Child windows. addChildWindow puts content into the document area and
    // records it as loaded; windows of their own (not children) are recorded
    // with registerLoaded, once per window object (a window closed and made
    // anew is a new object and goes to the end). On closing, the recorded
    // windows are closed from the most recently loaded down.
    QMdiSubWindow *addChildWindow(QWidget *content) override;
    void registerLoaded(QWidget *window);
    QList<QWidget *> loadedWindows() const;
    void arrangeCascade();
    // Side by side, each child the full height of the area.
    void arrangeTileVertical();

    // Toolbar position 1..15 (separators and the gap included).
    QAction *toolButton(int position) const;
    QLabel *statusPanel(int n) const;
    QWidget *picture() const { return m_picture; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void openModel();
    void newModel();
    void choosePrinter();
    void startAnotherInstance();
    void runTimingDiagram();
    void runChangeDiagram();
    void analyseFaults();
    void showWaves();
    void showSchematic();
    void proveProperties();
    void openEditor();
    void showReport();
    void openOptions();
    void showHelp();
    void showAbout();
    void toolButtonClicked(QAction *button);
    void playFanfare();

private:
    void editModel();
    bool unloadOtherWindows();
    void buildMenus();
    void buildToolBar();
    void layoutClient();
    void showMenusOf(QMdiSubWindow *child);
    void fillWindowMenu();

    ModelState &m_state;
    RunCommands *m_commands;
    CommonDialog m_fileDialog;
    std::unique_ptr<QPrinter> m_printer;
    QWidget *m_client;
    QLabel *m_picture;
    QMdiArea *m_mdiArea;
    QToolBar *m_toolBar = nullptr;
    std::unique_ptr<StatusPanels> m_status;
    QMenu *m_windowMenu = nullptr;
    QList<QAction *> m_mainMenus;    // the menu bar's own entries, in order
    QList<QAction *> m_lockedMenus;  // the four a run disables
    QList<QAction *> m_toolPositions;
    QList<QPointer<QWidget>> m_loaded; // load order, oldest first
};

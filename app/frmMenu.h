#pragma once

#include "CommonDialog.h"
#include "ModelState.h"

#include <QLabel>
#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QToolBar;
class SoundDevice;
class StatusPanels;

// The main window: a multiple-document frame with the menu bar, the toolbar
// tbToolBar, the status bar and the start-up picture. Every command starts
// here and hands over to the routine that does the work. Closing it unloads
// every other window, most recently loaded first, and ends the program.
class frmMenu : public QMainWindow
{
public:
    explicit frmMenu(ModelState &state, QWidget *parent = nullptr);
    ~frmMenu() override;

    // Facilities other windows borrow. CDL1 is the one shared file dialog:
    // a property one user sets stays set for the next.
    CommonDialog CDL1;
    SoundDevice &MMC1() const;
    // The printer the printer dialog sets up; made on first use.
    QPrinter &Printer();

    // Where the run and report commands hand over. The run commands set
    // ChangeMode first; an unset hook makes the command end there.
    std::function<void()> RunSetup;
    std::function<void()> ShowReport;
    std::function<void()> FaultAnalysis; // "Анализ неисправностей"

    // During a run toolbar buttons 1..13 and the menus "&Файл",
    // "&Моделирование", "&Редактирование" and "&Отчеты" are disabled.
    // Locking also hides the start-up picture; unlocking does not show it.
    void setRunLocked(bool locked);
    void hidePicture();

    // Child windows. addChildWindow puts content into the document area and
    // records it as loaded; windows of their own (not children) are recorded
    // with registerLoaded, once per window object (a window closed and made
    // anew is a new object and goes to the end). On closing, the recorded
    // windows are closed from the most recently loaded down.
    QMdiArea *mdiArea() const { return m_mdiArea; }
    QMdiSubWindow *addChildWindow(QWidget *content);
    void registerLoaded(QWidget *window);
    QList<QWidget *> loadedWindows() const;
    void arrangeCascade();
    // Side by side, each child the full height of the area.
    void arrangeTileVertical();

    // Toolbar position 1..15 (separators and the gap included).
    QAction *toolButton(int position) const;
    QLabel *statusPanel(int n) const;
    QWidget *picture() const { return m_picture; }

    // Commands, named after their menu entries and buttons.
    void mnuFileOpen_Click();
    void mnuFileNew_Click();
    void mnuFilePrinter_Click();
    void mnuFileCopy_Click();
    void mnuModelTimdiag_Click();
    void mnuModelIzmdiag_Click();
    void mnuModelFaults_Click();
    void mnuEdit_Click();
    void mnuReports_Click();
    void mnuOptions_Click();
    void mnuHelpHelp_Click();
    void mnuHelpAbout_Click();
    void tbToolBar_ButtonClick(QAction *button);
    void MDIForm_Click();
    void EditModel();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool unloadOtherWindows();
    void buildMenus();
    void buildToolBar();
    void layoutClient();
    void showMenusOf(QMdiSubWindow *child);
    void fillWindowMenu();

    ModelState &m_state;
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

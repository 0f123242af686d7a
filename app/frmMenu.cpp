#include "app/frmMenu.h"

#include "about/AboutInfo.h"
#include "about/frmAbout.h"
#include "app/Artwork.h"
#include "app/RunCommands.h"
#include "app/StartUp.h"
#include "app/StatusPanels.h"
#include "editor/frmEditor.h"
#include "editor/MdiArrange.h"
#include "help/frmHelp.h"
#include "model/FileChoice.h"
#include "model/ModelCreation.h"
#include "platform/ChildMenus.h"
#include "platform/DataFolder.h"
#include "platform/Prompts.h"
#include "platform/Settings.h"
#include "platform/SoundDevice.h"
#include "sim/frmDiag.h"
#include "wave/frmWave.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrinter>
#include <QProcess>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

namespace {

const QString kPlacePrefix = QStringLiteral("Menu");

// Room the frame's caption, menu bar and borders take, in twips.
constexpr float kFrameAllowanceTwips = 700;

enum class ButtonKind { Push, Check, Separator, Gap };

struct ToolbarPosition
{
    ButtonKind kind;
    const char *key;
    int image;
    const char16_t *toolTip;
    bool pressed;
};

const ToolbarPosition kToolbar[] = {
    {ButtonKind::Push, "New", 1, u"Создать", false},
    {ButtonKind::Push, "Open", 2, u"Открыть", false},
    {ButtonKind::Separator, "", 0, u"", false},
    {ButtonKind::Check, "File", 3, u"Вывод в файл", false},
    {ButtonKind::Check, "Printer", 4, u"Вывод на печать", false},
    {ButtonKind::Check, "Screen", 5, u"Вывод на экран", true},
    {ButtonKind::Separator, "", 0, u"", false},
    {ButtonKind::Push, "Diag", 6, u"Временная диаграмма", false},
    {ButtonKind::Push, "Izm", 7, u"Диаграмма изменений", false},
    {ButtonKind::Separator, "", 0, u"", false},
    {ButtonKind::Push, "Report", 8, u"Отчет", false},
    {ButtonKind::Separator, "", 0, u"", false},
    {ButtonKind::Push, "Edit", 9, u"Редактор", false},
    {ButtonKind::Gap, "", 0, u"", false},
    {ButtonKind::Push, "Copy", 11, u"Размножиться", false},
};

// Buttons 1..13 stand for the commands a run must not start again.
constexpr int kLockedButtons = 13;

int16_t flag(bool on) { return on ? FlagTrue : FlagFalse; }

} // namespace

frmMenu::frmMenu(ModelState &state, RunCommands *commands, QWidget *parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_commands(commands)
    , m_client(new QWidget(this))
    , m_picture(new QLabel(m_client))
    , m_mdiArea(new QMdiArea(m_client))
{
    setObjectName(QStringLiteral("frmMenu"));
    setWindowTitle(QStringLiteral("Модель"));
    setWindowIcon(Artwork::programIcon());
    setCentralWidget(m_client);

    m_picture->setObjectName(QStringLiteral("Picture1"));
    m_picture->setPixmap(Artwork::startupPicture());
    m_picture->setScaledContents(true);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_client->installEventFilter(this);
    m_picture->installEventFilter(this);
    m_mdiArea->viewport()->installEventFilter(this);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow *) { showMenusOf(m_mdiArea->currentSubWindow()); });

    buildMenus();
    buildToolBar();
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    m_status = std::make_unique<StatusPanels>(*statusBar());

    Settings::RestoreWindowPlace(*this, kPlacePrefix);
}

frmMenu::~frmMenu()
{
    // Hiding the children on the way out activates other sub-windows; the
    // menu bar is already going then.
    disconnect(m_mdiArea, nullptr, this, nullptr);
}

void frmMenu::showModelName(const QString &name) { setWindowTitle(QStringLiteral("Модель - ") + name); }

QPrinter &frmMenu::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    return *m_printer;
}

void frmMenu::buildMenus()
{
    const auto command = [this](QMenu *menu, const char *name, const QString &caption, void (frmMenu::*handler)(),
                                const QKeySequence &shortcut = {}) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    const auto separator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QLatin1String(name));
    };
    const auto menu = [this](const char *name, const QString &caption) {
        auto *m = new QMenu(caption, this);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        m_mainMenus << m->menuAction();
        return m;
    };
    const auto barCommand = [this](const char *name, const QString &caption, void (frmMenu::*handler)()) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        m_mainMenus << action;
        return action;
    };

    QMenu *mnuFile = menu("mnuFile", QStringLiteral("&Файл"));
    connect(mnuFile, &QMenu::aboutToShow, this, &frmMenu::hidePicture);
    command(mnuFile, "mnuFileOpen", QStringLiteral("&Открыть"), &frmMenu::openModel,
            QKeySequence(Qt::CTRL | Qt::Key_O));
    command(mnuFile, "mnuFileNew", QStringLiteral("&Создать"), &frmMenu::newModel,
            QKeySequence(Qt::CTRL | Qt::Key_N));
    separator(mnuFile, "mnuFileSep1");
    command(mnuFile, "mnuFilePrinter", QStringLiteral("Выбор и настройка &принтера"), &frmMenu::choosePrinter);
    separator(mnuFile, "mnuFileSep2");
    command(mnuFile, "mnuFileCopy", QStringLiteral("Создать экземпляр программы"), &frmMenu::startAnotherInstance);
    separator(mnuFile, "mnuFileSep3");
    QAction *exit = mnuFile->addAction(QStringLiteral("&Выход"));
    exit->setObjectName(QStringLiteral("mnuFileExit"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu *mnuModel = menu("mnuModel", QStringLiteral("&Моделирование"));
    command(mnuModel, "mnuModelTimdiag", QStringLiteral("&Временные диаграммы"), &frmMenu::runTimingDiagram);
    command(mnuModel, "mnuModelIzmdiag", QStringLiteral("&Диаграммы изменений"), &frmMenu::runChangeDiagram);
    command(mnuModel, "mnuModelWaves", QStringLiteral("&Графики"), &frmMenu::showWaves);
    command(mnuModel, "mnuModelSchematic", QStringLiteral("&Схема"), &frmMenu::showSchematic);
    command(mnuModel, "mnuModelFaults", QStringLiteral("&Анализ неисправностей"), &frmMenu::analyseFaults);
    command(mnuModel, "mnuModelProve", QStringLiteral("&Доказательство свойств"), &frmMenu::proveProperties);

    QAction *mnuEdit = barCommand("mnuEdit", QStringLiteral("&Редактирование"), &frmMenu::openEditor);
    QAction *mnuReports = barCommand("mnuReports", QStringLiteral("&Отчеты"), &frmMenu::showReport);

    m_windowMenu = menu("nmuWindow", QStringLiteral("О&кно"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, &frmMenu::fillWindowMenu);

    barCommand("mnuOptions", QStringLiteral("&Параметры"), &frmMenu::openOptions);

    QMenu *mnuHelp = menu("mnuHelp", QStringLiteral("&?"));
    command(mnuHelp, "mnuHelpHelp", QStringLiteral("&Справка"), &frmMenu::showHelp,
            QKeySequence(Qt::Key_F1));
    command(mnuHelp, "mnuHelpAbout", QStringLiteral("&О программе"), &frmMenu::showAbout);

    m_lockedMenus = {mnuFile->menuAction(), mnuModel->menuAction(), mnuEdit, mnuReports};
    menuBar()->addActions(m_mainMenus);
}

void frmMenu::buildToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("tbToolBar"));
    m_toolBar->setObjectName(QStringLiteral("tbToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(24, 24));
    for (const ToolbarPosition &position : kToolbar) {
        QAction *action = nullptr;
        switch (position.kind) {
        case ButtonKind::Separator:
            action = m_toolBar->addSeparator();
            break;
        case ButtonKind::Gap: {
            auto *gap = new QWidget(m_toolBar);
            gap->setFixedWidth(m_toolBar->iconSize().width());
            action = m_toolBar->addWidget(gap);
            break;
        }
        case ButtonKind::Push:
        case ButtonKind::Check:
            action = m_toolBar->addAction(Artwork::toolbarImage(position.image), QString::fromUtf16(position.toolTip));
            action->setData(QLatin1String(position.key));
            action->setObjectName(QLatin1String("tb") + QLatin1String(position.key));
            action->setCheckable(position.kind == ButtonKind::Check);
            action->setChecked(position.pressed);
            connect(action, &QAction::triggered, this, [this, action] { toolButtonClicked(action); });
            break;
        }
        m_toolPositions << action;
    }
}

QAction *frmMenu::toolButton(int position) const { return m_toolPositions.value(position - 1); }

QLabel *frmMenu::statusPanel(int n) const { return m_status->panel(n); }

void frmMenu::toolButtonClicked(QAction *button)
{
    const QString key = button->data().toString();
    if (key == QLatin1String("New"))
        newModel();
    else if (key == QLatin1String("Open"))
        openModel();
    else if (key == QLatin1String("File"))
        m_state.ToFile = flag(button->isChecked());
    else if (key == QLatin1String("Printer"))
        m_state.ToPrinter = flag(button->isChecked());
    else if (key == QLatin1String("Screen"))
        m_state.ToScreen = flag(button->isChecked());
    else if (key == QLatin1String("Diag"))
        runTimingDiagram();
    else if (key == QLatin1String("Izm"))
        runChangeDiagram();
    else if (key == QLatin1String("Report"))
        showReport();
    else if (key == QLatin1String("Edit"))
        openEditor();
    else if (key == QLatin1String("Copy"))
        startAnotherInstance();
}

void frmMenu::setRunLocked(bool locked)
{
    for (int position = 1; position <= kLockedButtons; ++position)
        toolButton(position)->setEnabled(!locked);
    for (QAction *menu : std::as_const(m_lockedMenus))
        menu->setEnabled(!locked);
    if (locked)
        hidePicture();
}

void frmMenu::hidePicture()
{
    if (m_picture->isHidden())
        return;
    m_picture->hide();
    layoutClient();
}

void frmMenu::layoutClient()
{
    const int width = m_client->width();
    const int height = m_client->height();
    int pictureHeight = 0;
    if (!m_picture->isHidden()) {
        const double dpi = logicalDpiY();
        const float frameTwips = float(Settings::pixelsToTwips(frameGeometry().height(), dpi));
        const float barsTwips = float(Settings::pixelsToTwips(statusBar()->height(), dpi))
                                + float(Settings::pixelsToTwips(m_toolBar->height(), dpi));
        const float pictureTwips = frameTwips - (barsTwips + kFrameAllowanceTwips);
        // A window too small for the formula gets no picture, not a negative one.
        pictureHeight = std::clamp(Settings::twipsToPixels(pictureTwips, dpi), 0, height);
        m_picture->setGeometry(0, 0, width, pictureHeight);
    }
    m_mdiArea->setGeometry(0, pictureHeight, width, height - pictureHeight);
}

bool frmMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        layoutClient();
    if ((watched == m_picture || watched == m_mdiArea->viewport()) && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        playFanfare();
    return QMainWindow::eventFilter(watched, event);
}

void frmMenu::playFanfare()
{
    SoundDevice &sound = soundDevice();
    sound.FileName = ProgramDataFolder() + QStringLiteral("/Fanfare.wav");
    sound.Command(QStringLiteral("Open"));
    sound.Command(QStringLiteral("Sound"));
    sound.Command(QStringLiteral("Close"));
}

QMdiSubWindow *frmMenu::addChildWindow(QWidget *content)
{
    QMdiSubWindow *child = m_mdiArea->addSubWindow(content);
    registerLoaded(child);
    return child;
}

void frmMenu::registerLoaded(QWidget *window)
{
    m_loaded.removeIf([](const QPointer<QWidget> &w) { return w.isNull(); });
    if (!m_loaded.contains(window))
        m_loaded << window;
}

QList<QWidget *> frmMenu::loadedWindows() const
{
    QList<QWidget *> windows;
    for (const QPointer<QWidget> &w : m_loaded)
        if (w)
            windows << w;
    return windows;
}

void frmMenu::arrangeCascade() { m_mdiArea->cascadeSubWindows(); }

void frmMenu::arrangeTileVertical() { MdiArrange::tileVertically(*m_mdiArea); }

void frmMenu::fillWindowMenu()
{
    m_windowMenu->clear();
    QAction *cascade = m_windowMenu->addAction(QStringLiteral("&Каскад"), this, &frmMenu::arrangeCascade);
    cascade->setObjectName(QStringLiteral("mnuWindowCascade"));
    QAction *tile = m_windowMenu->addAction(QStringLiteral("&Мозайка"), this, &frmMenu::arrangeTileVertical);
    tile->setObjectName(QStringLiteral("mnuWindowTile"));
    const QList<QMdiSubWindow *> children = m_mdiArea->subWindowList();
    if (!children.isEmpty())
        m_windowMenu->addSeparator();
    int number = 0;
    for (QMdiSubWindow *child : children) {
        QAction *entry = m_windowMenu->addAction(QLatin1Char('&') + QString::number(++number) + QLatin1Char(' ')
                                                 + child->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(child == m_mdiArea->currentSubWindow());
        const QPointer<QMdiSubWindow> target(child);
        connect(entry, &QAction::triggered, this, [this, target] {
            if (target)
                m_mdiArea->setActiveSubWindow(target);
        });
    }
}

void frmMenu::showMenusOf(QMdiSubWindow *child)
{
    const auto *own = child ? dynamic_cast<ChildMenus *>(child->widget()) : nullptr;
    QMenuBar *bar = menuBar();
    const QList<QAction *> shown = bar->actions();
    QList<QAction *> wanted = m_mainMenus;
    if (own) {
        wanted.clear();
        for (QMenu *menu : own->menus())
            wanted << menu->menuAction();
    }
    if (shown == wanted)
        return;
    for (QAction *action : shown)
        bar->removeAction(action);
    bar->addActions(wanted);
}

void frmMenu::openModel()
{
    // The file is only checked for being readable; the run loads it. Giving
    // up leaves nothing to undo.
    (void)ChooseFile(m_state, m_fileDialog, QStringLiteral("mod"));
}

void frmMenu::newModel() { CreateModel(m_state, m_fileDialog); }

void frmMenu::choosePrinter()
{
    // A cancel leaves the printer as it was; there is nothing else to undo.
    m_fileDialog.ShowPrinter(printer());
}

void frmMenu::startAnotherInstance()
{
    const QString program = QCoreApplication::applicationFilePath();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const bool started = QProcess::startDetached(program, {});
    QApplication::restoreOverrideCursor();
    if (!started) {
        MessageRequest failure;
        failure.text = QStringLiteral("Не удалось запустить ещё один экземпляр программы ") + program;
        failure.icon = Prompt::Icon::Critical;
        prompts().message(failure);
    }
}

void frmMenu::runTimingDiagram()
{
    m_state.ChangeMode = FlagFalse;
    if (m_commands)
        m_commands->startRun(*this, m_state);
}

void frmMenu::runChangeDiagram()
{
    m_state.ChangeMode = FlagTrue;
    if (m_commands)
        m_commands->startRun(*this, m_state);
}

void frmMenu::analyseFaults()
{
    hidePicture();
    if (m_commands)
        m_commands->analyseFaults(*this, m_state);
}

void frmMenu::showWaves()
{
    hidePicture();
    frmWave::Show(*m_mdiArea, frmDiag::Place(*m_mdiArea));
}

void frmMenu::openEditor()
{
    hidePicture();
    editModel();
}

void frmMenu::showReport()
{
    hidePicture();
    if (m_commands)
        m_commands->showReport(*this, m_state);
}

void frmMenu::showSchematic()
{
    hidePicture();
    if (m_state.ModelPath.isEmpty() && !ChooseFile(m_state, m_fileDialog, QStringLiteral("mod")))
        return;
    if (m_commands)
        m_commands->showSchematic(*this, m_state);
}

void frmMenu::proveProperties()
{
    hidePicture();
    if (m_state.ModelPath.isEmpty() && !ChooseFile(m_state, m_fileDialog, QStringLiteral("mod")))
        return;
    if (m_commands)
        m_commands->proveProperties(*this, m_state);
}

void frmMenu::openOptions() { hidePicture(); }

void frmMenu::editModel()
{
    if (m_state.ModelPath.isEmpty()) {
        if (!ChooseFile(m_state, m_fileDialog, QStringLiteral("mod")))
            return;
    }
    frmEditor &editor = frmEditor::Instance(*m_mdiArea);
    registerLoaded(editor.parentWidget());
    // The editor may hold unsaved changes; reloading must not silently drop them.
    if (!editor.CheckSave())
        return;
    editor.OpenFile(m_state.ModelPath + QStringLiteral(".mod"));
    editor.ShowEditor();
}

void frmMenu::showHelp()
{
    hidePicture();
    if (!frmHelp::ShowHelp(frmHelp::HelpAddress())) {
        MessageRequest failure;
        failure.text = QStringLiteral("Для работы справки установите Internet Explorer 4.0 или выше");
        failure.icon = Prompt::Icon::Information;
        prompts().message(failure);
        return;
    }
    registerLoaded(frmHelp::Instance());
}

void frmMenu::showAbout()
{
    AboutInfo info;
    info.title = QStringLiteral("Модель");
    info.major = MODEL_VERSION_MAJOR;
    info.minor = MODEL_VERSION_MINOR;
    info.revision = MODEL_VERSION_PATCH;
    info.description = QStringLiteral(
        "Моделирует дискретные устройства при задании  функций возбуждения  и временных характеристик элементов.");
    info.notice = QStringLiteral("Программа для изучения и проверки релейно-контактных схем "
                                 "железнодорожной автоматики. Распространяется свободно, без каких-либо гарантий.");
    showAboutBox(info, this);
}

bool frmMenu::unloadOtherWindows()
{
    QList<QWidget *> windows = loadedWindows();
    // Windows opened elsewhere (help from the editor's menu, the editor made
    // by report viewing) go after the recorded ones: their order of loading
    // is not known here. Each must still run its own unload, so that no
    // unsaved text goes without the question.
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible() && !window->isModal() && !windows.contains(window))
            windows.prepend(window);
    for (QMdiSubWindow *child : m_mdiArea->subWindowList(QMdiArea::CreationOrder))
        if (!windows.contains(child))
            windows.prepend(child);
    for (qsizetype i = windows.size() - 1; i >= 0; --i) {
        const QPointer<QWidget> window(windows[i]);
        // Only a failed save of changed text refuses; the program then stays
        // open rather than losing that text.
        if (window && !window->close())
            return false;
    }
    return true;
}

void frmMenu::closeEvent(QCloseEvent *event)
{
    // Each window runs its own unload: the editor's question, its place.
    if (!unloadOtherWindows()) {
        event->ignore();
        return;
    }
    Settings::SaveWindowPlace(*this, kPlacePrefix);
    SpeedSetting().save(m_state.Speed);
    event->accept();
}

#include "sim/frmDiag.h"

#include "help/frmHelp.h"
#include "model/AskTiming.h"
#include "platform/CodePage.h"
#include "platform/Prompts.h"
#include "platform/RunWindowHost.h"
#include "platform/Settings.h"
#include "report/PrinterPages.h"
#include "sim/frmFault.h"
#include "sim/frmModtype.h"
#include "sim/frmSpeed.h"
#include "vesk/Vesks.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <utility>

namespace {

const QString PlacePrefix = QStringLiteral("Diag");

// The repaints of the rows are gathered: at the shortest interval a row
// comes every millisecond, faster than a screen can show them.
constexpr int RepaintDelayMs = 15;

// F1 in the run's windows asks for the help on the run's keys: the key must
// reach the window itself instead of the main window's "&Справка" shortcut.
class KeysHelpKey : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1) {
            event->accept();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

void takeKeysHelpKey(QWidget &window) { window.installEventFilter(new KeysHelpKey(&window)); }

} // namespace

// Counts what is running inside the window (a step, the speed dialog, the
// set-up), so that a close meanwhile deletes the window only afterwards.
frmDiag::Busy::Busy(frmDiag &diag) : m_diag(diag) { ++m_diag.m_busy; }

frmDiag::Busy::~Busy()
{
    if (--m_diag.m_busy == 0 && m_diag.m_deleteWhenIdle)
        m_diag.Frame().deleteLater();
}

frmDiag *frmDiag::Load(RunWindowHost &host, ModelState &settings)
{
    auto *diag = new frmDiag(host, settings);
    QMdiSubWindow *frame = host.addChildWindow(diag);
    // The window decides itself when it can go (never under its own step).
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    diag->LoadWindow();
    frame->show();
    return diag;
}

QRect frmDiag::Place(QMdiArea &area)
{
    for (QMdiSubWindow *child : area.subWindowList())
        if (qobject_cast<frmDiag *>(child->widget()) && child->isVisible())
            return child->geometry();
    return Settings::StoredWindowPlace(area, PlacePrefix);
}

frmDiag::frmDiag(RunWindowHost &host, ModelState &settings)
    : m_host(host), m_settings(settings), m_report(m_session.state(), *this),
      m_printer(std::make_unique<PrinterPages>(m_session.state(), &host.printer()))
{
    static_cast<OutputChoice &>(State()) = settings;
    // The transmitter component, not the session's own, gives the input: its
    // timing is what the run's dialogues set.
    Step().setInput(*this);
    m_session.addObserver(m_report);
    m_session.addObserver(m_waves);
    setObjectName(QStringLiteral("frmDiag"));
    setWindowTitle(QStringLiteral("Диаграмма"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    takeKeysHelpKey(*this);

    modelCaption = new QLabel(this);
    modelCaption->setObjectName(QStringLiteral("Label1"));
    QFont bold = modelCaption->font();
    bold.setBold(true);
    modelCaption->setFont(bold);
    headingLine = new QLabel(this);
    headingLine->setObjectName(QStringLiteral("Label2"));
    headingLine->setFont(m_rows.Font());

    stepTimer = new QTimer(this);
    stepTimer->setObjectName(QStringLiteral("Timer1"));
    stepTimer->setTimerType(Qt::PreciseTimer);
    connect(stepTimer, &QTimer::timeout, this, &frmDiag::StepTimerFired);

    m_repaint = new QTimer(this);
    m_repaint->setSingleShot(true);
    m_repaint->setInterval(RepaintDelayMs);
    connect(m_repaint, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

frmDiag::~frmDiag()
{
    if (m_modtype)
        delete &m_modtype->Frame();
}

QWidget &frmDiag::Frame()
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        return *frame;
    return *this;
}

void frmDiag::LoadWindow()
{
    Frame().raise();
    Settings::RestoreWindowPlace(Frame(), PlacePrefix);
    stepTimer->setInterval(m_settings.Speed * 5 + 1);
}

void frmDiag::closeEvent(QCloseEvent *event)
{
    UnloadWindow();
    event->accept();
}

void frmDiag::UnloadWindow()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    State().end();
    stepTimer->stop();
    if (m_modtype)
        m_modtype->Frame().hide();
    Settings::SaveWindowPlace(Frame(), PlacePrefix);
    if (State().ToPrinter)
        m_printer->EndDoc();
    // The choice as the end-of-run dialogue or a failed printer left it holds
    // for the runs that follow.
    static_cast<OutputChoice &>(m_settings) = State();
    m_host.setRunLocked(false);
    m_vesk.reset();
    if (m_busy > 0)
        m_deleteWhenIdle = true;
    else
        Frame().deleteLater();
}

void frmDiag::StepTimerFired()
{
    if (State().now().RunActive)
        ShowDiag();
}

void frmDiag::ShowDiag()
{
    // A tick from the event loop of a question's message box starts nothing:
    // the step still waits for its answer.
    if (Step().InStep())
        return;
    Busy busy(*this);
    bool closeAfterStep = false;
    const auto advance = [this](auto &&next) {
        m_stepRunning = true;
        const StepOutcome outcome = next();
        m_stepRunning = false;
        for (const std::function<void()> &work : std::exchange(m_heldOutput, {}))
            work();
        return outcome;
    };
    StepOutcome outcome = advance([this] { return m_session.tick(); });
    while (outcome != StepOutcome::Done && outcome != StepOutcome::Idle) {
        const bool yes = Answer(outcome);
        // The step finishes first: its row still goes to the printer and file.
        closeAfterStep |= outcome == StepOutcome::AskContinue && !yes;
        outcome = advance([this, yes] { return m_session.resume(yes); });
    }
    if (outcome == StepOutcome::Idle)
        stepTimer->start();
    if (closeAfterStep && !m_unloaded)
        Frame().close();
}

bool frmDiag::Answer(StepOutcome question)
{
    switch (question) {
    case StepOutcome::AskContinue: {
        MessageRequest ask;
        ask.text = StepText::ContinueQuestion.toString();
        ask.title = StepText::ContinueTitle.toString();
        ask.buttons = Prompt::Buttons::YesNo;
        ask.icon = Prompt::Icon::Question;
        return prompts().message(ask) == Prompt::Answer::Yes;
    }
    case StepOutcome::ShowMessage: {
        MessageRequest request;
        request.text = Step().KeyMessage;
        prompts().message(request);
        return true;
    }
    case StepOutcome::EditFaults: {
        frmFault faults(State(), this);
        prompts().exec(faults);
        return true;
    }
    case StepOutcome::EndOfRun:
        EndOfRunDialogue(*this);
        // The dialogue's windows took the keyboard; the command keys of the
        // run that goes on must reach this window again.
        if (!m_unloaded)
            TakeFocus();
        return true;
    case StepOutcome::Done:
    case StepOutcome::Idle:
        break;
    }
    return true;
}

void frmDiag::InitModel()
{
    stepTimer->start();
    Step().InitModel();
}

void frmDiag::SetSpeed()
{
    Busy busy(*this);
    stepTimer->stop();
    frmSpeed speed(m_settings.Speed, &m_host.hostWindow());
    prompts().exec(speed);
    if (m_unloaded)
        return;
    m_settings.Speed = int16_t(speed.delayBar->value());
    m_session.send({});
    stepTimer->setInterval(m_settings.Speed * 5 + 1);
    stepTimer->start();
}

Vesks &frmDiag::Vesk()
{
    if (!m_vesk)
        m_vesk = std::make_unique<Vesks>();
    return *m_vesk;
}

void frmDiag::ShowModtype()
{
    if (!m_modtype) {
        m_modtype = frmModtype::Load(m_host, *this, State());
        takeKeysHelpKey(*m_modtype);
    }
}

void frmDiag::PressPause()
{
    if (m_modtype)
        m_modtype->TogglePause();
}

void frmDiag::TakeFocus()
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(&Frame()))
        m_host.childArea().setActiveSubWindow(frame);
    setFocus(Qt::OtherFocusReason);
}

void frmDiag::ShowKeysHelp()
{
    if (frmHelp::ShowHelp(frmHelp::HelpAddress(QStringLiteral("keys"))))
        return;
    MessageRequest failure;
    failure.text = QStringLiteral("Для корректной работы справки установите Internet Explorer 4.0 или выше");
    failure.icon = Prompt::Icon::Information;
    prompts().message(failure);
}

// Drawing

void frmDiag::Printto(const QByteArray &row)
{
    m_rows.AddRow(CodePage::fromOem(row));
    if (!m_repaint->isActive())
        m_repaint->start();
}

void frmDiag::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    // The rows stay 10 px from the sides and 22 px from the top and bottom;
    // a new row is drawn 42 px above the bottom and moves up by one line.
    const QRect inner = rect().adjusted(10, 22, -10, -22);
    m_rows.Paint(painter, inner, height() - 42);
}

void frmDiag::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayOutLabels();
}

void frmDiag::LayOutLabels()
{
    const int labelHeight = headingLine->sizeHint().height();
    modelCaption->setGeometry(0, 0, width(), modelCaption->sizeHint().height());
    headingLine->setGeometry(0, height() - labelHeight, width(), labelHeight);
}

void frmDiag::ClearWindow()
{
    m_rows.Clear();
    update();
}

// Keys

QString frmDiag::TypedCharacter(const QKeyEvent &event)
{
    if (event.key() == Qt::Key_Escape)
        return QString(QChar(27));
    return event.text().left(1);
}

void frmDiag::keyPressEvent(QKeyEvent *event)
{
    ControlKey(event->key());
    const QString typed = TypedCharacter(*event);
    if (!typed.isEmpty())
        TypeCommand(typed);
}

void frmDiag::ControlKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down: SetSpeed(); break;
    case Qt::Key_F1: ShowKeysHelp(); break;
    case Qt::Key_F8: PressPause(); break;
    default: break;
    }
}

void frmDiag::TypeCommand(const QString &character) { m_session.send(character); }

// Transmitter

int16_t frmDiag::WhodKod(int16_t Nkod)
{
    // A window closed while its step waited keeps no transmitter.
    if (m_unloaded)
        return State().now().InputVal[1];
    Vesk().WhodKod(Nkod);
    return Vesk().Wuhod();
}

// OutputDevices

void frmDiag::ScreenRow(const QByteArray &row) { Printto(row); }

void frmDiag::ScreenHeading(const QByteArray &heading) { headingLine->setText(CodePage::fromOem(heading)); }

void frmDiag::AfterStepPart(std::function<void()> work)
{
    if (m_stepRunning)
        m_heldOutput.push_back(std::move(work));
    else
        work();
}

void frmDiag::PrinterRow(const QByteArray &row)
{
    AfterStepPart([this, row] {
        if (!m_unloaded)
            m_printer->PrintRow(row);
    });
}

void frmDiag::PrinterHeader(const ReportHeaderContent &header)
{
    AfterStepPart([this, header] {
        if (!m_unloaded)
            m_printer->PrintHeader(header);
    });
}

void frmDiag::ReportError(const QString &message)
{
    AfterStepPart([this, message] { ShowError(message); });
}

void frmDiag::ShowError(const QString &message)
{
    MessageRequest error;
    error.text = message;
    error.icon = Prompt::Icon::Critical;
    prompts().message(error);
}

// EndOfRunHost

void frmDiag::CloseWindow() { Frame().close(); }

void frmDiag::SetTimeChar(const QString &modelPath)
{
    QString path = modelPath;
    Vesk().SetTimeChar(path);
}

void frmDiag::SaveTiming() { ::SaveTiming(m_settings, State(), m_host.fileDialog()); }

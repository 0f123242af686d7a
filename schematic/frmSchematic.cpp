#include "schematic/frmSchematic.h"

#include "check/ModelCheck.h"
#include "check/ModelLayout.h"
#include "editor/frmEditor.h"
#include "model/LoadedModel.h"
#include "model/ModelFile.h"
#include "model/RunState.h"
#include "model/TimingFile.h"
#include "platform/Prompts.h"
#include "sim/RunSession.h"
#include "platform/RunWindowHost.h"
#include "platform/Settings.h"
#include "report/PrinterPages.h"
#include "schematic/SchematicCanvas.h"
#include "schematic/SchematicPages.h"
#include "wave/LiveRecording.h"
#include "wave/WaveCanvas.h"
#include "wave/frmWave.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>
#include <span>
#include <utility>

using namespace schematic;

namespace {

// The picture takes in the run's steps at most this often, so drawing never
// holds the run up; a step that changed nothing is not drawn again.
constexpr int RefreshMs = 100;

const QString PlacePrefix = QStringLiteral("Schematic");

struct RunLink
{
    QPointer<QObject> owner;
    RunSession *session = nullptr; // valid while owner lives

    bool runs(const QString &modelPath) const
    {
        return owner && session && session->state().ModelPath == modelPath;
    }
};

RunLink &linkedRun()
{
    static RunLink link;
    return link;
}

void tellError(const QString &text)
{
    MessageRequest message;
    message.text = text;
    message.icon = Prompt::Icon::Critical;
    prompts().message(message);
}

// One fault a coil or a contact can be given: its kind and its name.
using FaultChoice = std::pair<uint8_t, QString>;

// The faults of one coil or contact, the one in force checked; disabled,
// with the reason, while no run is linked.
void showFaultMenu(QWidget &parent, const QString &title, std::span<const FaultChoice> kinds, bool linked,
                   uint8_t current, const std::function<void(uint8_t)> &set, QPoint at)
{
    QMenu menu(&parent);
    menu.addSection(title);
    for (const auto &[kind, text] : kinds) {
        QAction *action = menu.addAction(text, &parent, [set, kind] { set(kind); });
        action->setCheckable(true);
        action->setChecked(linked && kind == current);
        action->setEnabled(linked);
    }
    if (!linked)
        menu.addAction(QStringLiteral("(неисправности задаются во время прогона)"))->setEnabled(false);
    menu.exec(at);
}

QString stepText(qint64 step)
{
    return QString::number(double(step) / 100, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

frmSchematic *frmSchematic::Show(RunWindowHost &host, const QString &modelPath)
{
    QMdiArea &area = host.childArea();
    for (QMdiSubWindow *child : area.subWindowList()) {
        auto *open = qobject_cast<frmSchematic *>(child->widget());
        if (open && open->m_modelPath == modelPath) {
            area.setActiveSubWindow(child);
            return open;
        }
    }
    auto *window = new frmSchematic(host, modelPath);
    if (!window->Reload()) {
        delete window;
        return nullptr;
    }
    QMdiSubWindow *frame = host.addChildWindow(window);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    Settings::RestoreWindowPlace(*frame, PlacePrefix);
    connect(window, &QObject::destroyed, frame, [frame] { Settings::SaveWindowPlace(*frame, PlacePrefix); });
    frame->show();
    window->Refresh();
    return window;
}

void frmSchematic::LinkRun(QObject *owner, RunSession &session)
{
    linkedRun() = RunLink{owner, &session};
}

frmSchematic::frmSchematic(RunWindowHost &host, const QString &modelPath) : m_host(host), m_modelPath(modelPath)
{
    setObjectName(QStringLiteral("frmSchematic"));
    Canvas = new SchematicCanvas;
    Canvas->setObjectName(QStringLiteral("Canvas"));
    m_scroll = new QScrollArea;
    m_scroll->setWidget(Canvas);
    m_scroll->setBackgroundRole(QPalette::Base);
    StateLabel = new QLabel;
    StateLabel->setObjectName(QStringLiteral("StateLabel"));

    const auto button = [this](const char *name, const QString &caption, const QString &tip, auto handler) {
        auto *b = new QToolButton;
        b->setObjectName(QLatin1String(name));
        b->setText(caption);
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, handler);
        return b;
    };
    auto *tools = new QHBoxLayout;
    tools->addWidget(button("Print", QStringLiteral("Печать"), QStringLiteral("Напечатать схему"), &frmSchematic::Print));
    tools->addWidget(button("Export", QStringLiteral("Экспорт"), QStringLiteral("Записать схему в SVG, PDF или PNG"),
                            &frmSchematic::Export));
    tools->addWidget(button("Reload", QStringLiteral("Обновить"), QStringLiteral("Прочитать модель заново"),
                            [this] {
                                if (Reload())
                                    Refresh();
                            }));
    tools->addWidget(StateLabel, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(tools);
    layout->addWidget(m_scroll, 1);

    connect(Canvas, &SchematicCanvas::rungWanted, this, &frmSchematic::showRung);
    connect(Canvas, &SchematicCanvas::functionWanted, this, &frmSchematic::showFunction);
    connect(Canvas, &SchematicCanvas::coilMenuWanted, this, &frmSchematic::showCoilMenu);
    connect(Canvas, &SchematicCanvas::contactMenuWanted, this, &frmSchematic::showContactMenu);

    m_refresh = new QTimer(this);
    m_refresh->setInterval(RefreshMs);
    connect(m_refresh, &QTimer::timeout, this, &frmSchematic::Refresh);
    m_refresh->start();
}

bool frmSchematic::Reload()
{
    const FileResult<SharedModel> model = LoadSharedModel(m_modelPath);
    if (!model) {
        tellError(model.error());
        return false;
    }
    const ModelDefinition &definition = (*model)->definition;
    std::optional<RelayTimes> times;
    const QString timingFile = TimingFileBeside(m_modelPath + QStringLiteral(".mod"));
    if (!timingFile.isEmpty())
        if (const FileResult<TimingValues> timing = ReadTimingFile(timingFile, definition.ElemCount))
            times = RelayTimes{timing->Tpr, timing->Totp};
    Canvas->setSchematic(BuildSchematic(definition, times));
    m_contactNames.clear();
    for (const Contact &contact : ModelContacts(definition))
        m_contactNames.append(ContactName(definition, contact));
    setWindowTitle(QStringLiteral("Схема — %1").arg(definition.ModelName.trimmed().isEmpty()
                                                        ? QFileInfo(m_modelPath).fileName()
                                                        : definition.ModelName.trimmed()));
    m_shownRecording.reset();
    m_shownStep = -1;
    return true;
}

void frmSchematic::Refresh()
{
    const std::shared_ptr<const RunRecording> recording = LiveRecording::last();
    if (!recording || recording->modelPath() != m_modelPath) {
        if (Canvas->live()) {
            Canvas->setLive(std::nullopt);
            StateLabel->clear();
        }
        m_shownRecording.reset();
        return;
    }
    qint64 step = recording->lastStep();
    QString source = QStringLiteral("прогон, шаг %1 (%2 с)");
    for (QMdiSubWindow *child : m_host.childArea().subWindowList())
        if (auto *waves = qobject_cast<frmWave *>(child->widget()))
            if (waves->Canvas->recording() == recording && waves->Canvas->view().cursorA) {
                step = std::min(*waves->Canvas->view().cursorA, recording->lastStep());
                source = QStringLiteral("курсор A «Графиков», шаг %1 (%2 с)");
            }
    // A contact fault just set is in force from the next step on; the run's
    // latest step shows it at once.
    std::vector<ContactFault> contactFaults = step == recording->lastStep() && linkedRun().runs(m_modelPath)
                                                  ? linkedRun().session->contactFaults()
                                                  : recording->contactFaultsAt(step);
    if (recording == m_shownRecording && step == m_shownStep && contactFaults == m_shownContactFaults)
        return;
    m_shownRecording = recording;
    m_shownStep = step;
    m_shownContactFaults = contactFaults;
    LiveState live = LiveState::at(*recording, step);
    live.contactFaults = std::move(contactFaults);
    Canvas->setLive(live);
    StateLabel->setText(source.arg(step).arg(stepText(step)));
}

void frmSchematic::showRung(int rung)
{
    const QRect area = Canvas->rungArea(rung);
    m_scroll->ensureVisible(area.center().x(), area.top(), 0, 0);
    m_scroll->verticalScrollBar()->setValue(area.top());
}

void frmSchematic::showFunction(int rung)
{
    const Rung &shown = Canvas->schematic().rungs[size_t(rung)];
    frmEditor &editor = frmEditor::Instance(m_host.childArea());
    const QString fileName = m_modelPath + QStringLiteral(".mod");
    if (QFileInfo(editor.nmF) != QFileInfo(fileName)) {
        if (!editor.CheckSave() || !editor.OpenFile(fileName))
            return;
    }
    editor.ShowEditor();
    // The line is found in the editor's own text, which may have been edited.
    const QStringList lines = ModelFileLines(editor.plainText());
    const auto definition = ReadModelText(fileName, editor.plainText());
    if (!definition)
        return;
    const ModelLayout layout = LayOutModel(*definition, lines);
    const QList<FunctionLayout> &functions = shown.kind == Rung::Kind::Element ? layout.elements : layout.outputs;
    if (shown.index < 1 || shown.index > functions.size())
        return;
    const QTextBlock block = editor.textBox->document()->findBlockByNumber(functions[shown.index - 1].line - 1);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    editor.textBox->setTextCursor(cursor);
    editor.textBox->setFocus();
}

void frmSchematic::showCoilMenu(int element, QPoint globalPosition)
{
    const Rung *rung = Canvas->schematic().elementRung(element);
    const uint8_t current = Canvas->live() ? KindOfFault(Canvas->live()->fault[size_t(element)]) : 0;
    const FaultChoice kinds[] = {{0, FaultName(Fault::None)},
                                 {1, FaultName(Fault::Break)},
                                 {2, FaultName(Fault::Feed)}};
    showFaultMenu(*this, rung ? rung->name : QString(), kinds, linkedRun().runs(m_modelPath), current,
                  [this, element](uint8_t kind) { SetFault(element, FaultOfKind(kind)); }, globalPosition);
}

void frmSchematic::SetFault(int element, Fault fault)
{
    if (linkedRun().runs(m_modelPath))
        linkedRun().session->setFault(element, fault);
}

void frmSchematic::showContactMenu(int contact, QPoint globalPosition)
{
    const bool linked = linkedRun().runs(m_modelPath);
    const uint8_t current = linked ? ContactFaultOf(linkedRun().session->contactFaults(), contact) : 0;
    const FaultChoice kinds[] = {{0, QStringLiteral("Исправен")},
                                 {ContactWelded, QStringLiteral("Не размыкается")},
                                 {ContactOpen, QStringLiteral("Не замыкается")}};
    showFaultMenu(*this, m_contactNames.value(contact - 1), kinds, linked, current,
                  [this, contact](uint8_t kind) { SetContactFault(contact, kind); }, globalPosition);
}

void frmSchematic::SetContactFault(int contact, uint8_t kind)
{
    if (!linkedRun().runs(m_modelPath))
        return;
    linkedRun().session->setContactFault(contact, kind);
    Refresh();
}

void frmSchematic::Print()
{
    PrintTarget target = ChoosePrintTarget(&m_host.printer(), m_modelPath, Canvas->schematic().modelName);
    QPrinter &printer = *target.printer;
    QPainter painter;
    if (!painter.begin(&printer)) {
        tellError(target.pdfFileName.isEmpty()
                      ? QStringLiteral("Не удалось начать печать на принтере \"%1\".").arg(printer.printerName())
                      : QStringLiteral("Не удалось создать файл печати %1.")
                            .arg(QDir::toNativeSeparators(target.pdfFileName)));
        return;
    }
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const SchematicPages pages(Canvas->painter(), page.width(), page.height());
    if (!pages.paint(painter, [&printer] { return printer.newPage(); }, Canvas->view()))
        tellError(QStringLiteral("Не удалось начать новую страницу печати."));
    painter.end();
}

void frmSchematic::Export()
{
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.filter = QStringLiteral("Картинка SVG (*.svg)|*.svg|Документ PDF (*.pdf)|*.pdf|Картинка PNG (*.png)|*.png");
    request.defaultExt = QStringLiteral("svg");
    request.fileName = QFileInfo(m_modelPath).fileName();
    request.overwritePrompt = true;
    const QString fileName = prompts().fileName(request);
    if (fileName.isEmpty())
        return;
    if (const auto written = ExportSchematic(Canvas->painter(), fileName, Canvas->view()); !written)
        tellError(written.error());
}

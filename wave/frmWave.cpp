#include "wave/frmWave.h"

#include "platform/Prompts.h"
#include "platform/Settings.h"
#include "wave/LiveRecording.h"
#include "wave/PictureExport.h"
#include "wave/WaveCanvas.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <optional>

namespace {

// New steps are drawn at most this often: a faster run gains nothing on
// the screen, and the run is not held up by drawing.
constexpr int RefreshMs = 100;

const QString PlacePrefix = QStringLiteral("Waves");

// The place of frame right of taken, or below it when the area has no room
// on the right; with room for neither, the roomier of the two strips, as
// long as the window keeps its least size there. Nothing when both strips
// are too small.
std::optional<QRect> placeBeside(const QRect &taken, const QMdiSubWindow &frame, const QSize &space)
{
    const QSize size = frame.size();
    const QSize least = frame.minimumSizeHint().expandedTo(frame.minimumSize());
    const int rightRoom = space.width() - taken.right() - 1;
    const int belowRoom = space.height() - taken.bottom() - 1;
    const QRect right(taken.right() + 1, taken.top(), std::min(size.width(), rightRoom),
                      std::min(size.height(), space.height() - taken.top()));
    const QRect below(taken.left(), taken.bottom() + 1, std::min(size.width(), space.width() - taken.left()),
                      std::min(size.height(), belowRoom));
    const auto fits = [&](const QRect &place) { return place.size() == size; };
    const auto keepsLeast = [&](const QRect &place) {
        return place.width() >= least.width() && place.height() >= least.height();
    };
    if (fits(right))
        return right;
    if (fits(below))
        return below;
    const auto room = [](const QRect &place) { return qint64(place.width()) * place.height(); };
    const QRect &roomier = room(right) >= room(below) ? right : below;
    if (keepsLeast(roomier))
        return roomier;
    return std::nullopt;
}

} // namespace

frmWave *frmWave::Show(QMdiArea &area, const QRect &beside)
{
    for (QMdiSubWindow *child : area.subWindowList()) {
        if (auto *open = qobject_cast<frmWave *>(child->widget())) {
            area.setActiveSubWindow(child);
            return open;
        }
    }
    auto *window = new frmWave;
    QMdiSubWindow *frame = area.addSubWindow(window);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    Settings::RestoreWindowPlace(*frame, PlacePrefix);
    // At the first opening the default place would cover the diagram.
    if (!Settings::HasWindowPlace(PlacePrefix) && beside.isValid())
        if (const std::optional<QRect> place = placeBeside(beside, *frame, area.viewport()->size()))
            frame->setGeometry(*place);
    connect(window, &QObject::destroyed, frame, [frame] { Settings::SaveWindowPlace(*frame, PlacePrefix); });
    frame->show();
    window->Canvas->setFocus();
    return window;
}

frmWave::frmWave()
{
    setObjectName(QStringLiteral("frmWave"));
    setWindowTitle(QStringLiteral("Графики"));

    Canvas = new WaveCanvas;
    Canvas->setObjectName(QStringLiteral("Canvas"));
    auto *rows = new QScrollArea;
    rows->setWidget(Canvas);
    rows->setWidgetResizable(true);
    rows->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    TimeBar = new QScrollBar(Qt::Horizontal);
    TimeBar->setObjectName(QStringLiteral("TimeBar"));
    Cursors = new QLabel;
    Cursors->setObjectName(QStringLiteral("Cursors"));

    SignalList = new QListWidget;
    SignalList->setObjectName(QStringLiteral("SignalList"));
    SignalList->setDragDropMode(QAbstractItemView::InternalMove);
    SignalList->setToolTip(QStringLiteral("Флажок показывает сигнал; порядок меняется перетаскиванием"));

    const auto button = [this](const char *name, const QString &caption, const QString &tip) {
        auto *b = new QToolButton;
        b->setObjectName(QLatin1String(name));
        b->setText(caption);
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    QToolButton *zoomIn = button("ZoomIn", QStringLiteral("+"), QStringLiteral("Крупнее (+, Ctrl+колесо)"));
    QToolButton *zoomOut = button("ZoomOut", QStringLiteral("−"), QStringLiteral("Мельче (−, Ctrl+колесо)"));
    QToolButton *fit = button("Fit", QStringLiteral("Весь прогон"), QStringLiteral("Показать весь прогон (0)"));
    QToolButton *previous = button("PreviousChange", QStringLiteral("◀"),
                                   QStringLiteral("Предыдущее изменение выбранного сигнала (←)"));
    QToolButton *next = button("NextChange", QStringLiteral("▶"),
                               QStringLiteral("Следующее изменение выбранного сигнала (→)"));
    QToolButton *exportButton = button("Export", QStringLiteral("Экспорт"), QStringLiteral("Записать в файл"));
    QToolButton *signalsButton = button("Signals", QStringLiteral("Сигналы"), QStringLiteral("Показ и порядок сигналов"));
    signalsButton->setCheckable(true);
    auto *exportMenu = new QMenu(exportButton);
    exportMenu->addAction(QStringLiteral("Видимый участок…"), this, [this] { Export(false); });
    exportMenu->addAction(QStringLiteral("Весь прогон…"), this, [this] { Export(true); });
    exportButton->setMenu(exportMenu);
    exportButton->setPopupMode(QToolButton::InstantPopup);

    auto *tools = new QHBoxLayout;
    for (QToolButton *b : {zoomIn, zoomOut, fit, previous, next, exportButton, signalsButton})
        tools->addWidget(b);
    tools->addWidget(Cursors, 1);

    auto *split = new QSplitter;
    split->addWidget(rows);
    split->addWidget(SignalList);
    split->setStretchFactor(0, 1);
    SignalList->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(tools);
    layout->addWidget(split, 1);
    layout->addWidget(TimeBar);

    connect(zoomIn, &QToolButton::clicked, Canvas, [this] { Canvas->zoom(1.25); });
    connect(zoomOut, &QToolButton::clicked, Canvas, [this] { Canvas->zoom(0.8); });
    connect(fit, &QToolButton::clicked, Canvas, &WaveCanvas::fitAll);
    connect(previous, &QToolButton::clicked, Canvas, [this] { Canvas->jumpToChange(-1); });
    connect(next, &QToolButton::clicked, Canvas, [this] { Canvas->jumpToChange(1); });
    connect(signalsButton, &QToolButton::toggled, SignalList, &QWidget::setVisible);
    connect(TimeBar, &QScrollBar::valueChanged, Canvas, [this](int value) {
        if (value != Canvas->view().firstStep)
            Canvas->scrollTo(value);
    });
    connect(Canvas, &WaveCanvas::viewChanged, this, &frmWave::viewChanged);
    connect(SignalList, &QListWidget::itemChanged, this, &frmWave::signalsEdited);
    connect(SignalList->model(), &QAbstractItemModel::rowsMoved, this, &frmWave::signalsEdited);

    m_refresh = new QTimer(this);
    m_refresh->setInterval(RefreshMs);
    connect(m_refresh, &QTimer::timeout, this, &frmWave::Refresh);
    m_refresh->start();
    Refresh();
}

void frmWave::Refresh()
{
    if (LiveRecording::last() != Canvas->recording())
        showRecording();
    Canvas->refresh();
}

void frmWave::showRecording()
{
    const std::shared_ptr<const RunRecording> recording = LiveRecording::last();
    Canvas->setRecording(recording);
    m_choices = recording ? RestoreSignalOrder(*recording, Settings::Text(SignalOrderKey(recording->modelPath())).get())
                          : std::vector<SignalChoice>();
    m_fillingList = true;
    SignalList->clear();
    for (const SignalChoice &choice : m_choices) {
        auto *item = new QListWidgetItem(recording->lanes()[size_t(choice.lane)].name, SignalList);
        item->setData(Qt::UserRole, choice.lane);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsDragEnabled);
        item->setCheckState(choice.shown ? Qt::Checked : Qt::Unchecked);
    }
    m_fillingList = false;
    Canvas->setRows(ShownLanes(m_choices));
    setWindowTitle(recording ? QStringLiteral("Графики — ") + recording->modelName() : QStringLiteral("Графики"));
}

void frmWave::signalsEdited()
{
    const std::shared_ptr<const RunRecording> &recording = Canvas->recording();
    if (m_fillingList || !recording)
        return;
    m_choices.clear();
    for (int row = 0; row < SignalList->count(); ++row) {
        const QListWidgetItem *item = SignalList->item(row);
        m_choices.push_back({item->data(Qt::UserRole).toInt(), item->checkState() == Qt::Checked});
    }
    Settings::Text(SignalOrderKey(recording->modelPath())).save(SaveSignalOrder(*recording, m_choices));
    Canvas->setRows(ShownLanes(m_choices));
}

void frmWave::viewChanged()
{
    const TraceView &view = Canvas->view();
    const qint64 end = Canvas->recording() ? Canvas->recording()->lastStep() + 1 : 1;
    const QSignalBlocker block(TimeBar);
    TimeBar->setRange(0, int(end - Canvas->visibleSteps()));
    TimeBar->setPageStep(int(Canvas->visibleSteps()));
    TimeBar->setSingleStep(int(std::max<qint64>(1, Canvas->visibleSteps() / 10)));
    TimeBar->setValue(int(view.firstStep));
    Cursors->setText(TracePainter::cursorText(view));
}

void frmWave::Export(bool wholeRun)
{
    const std::shared_ptr<const RunRecording> &recording = Canvas->recording();
    QString error;
    if (!recording || recording->isEmpty()) {
        error = QStringLiteral("Нечего записывать: прогон не сделал ни одного шага");
    } else {
        FileRequest request;
        request.kind = FileRequest::Kind::Save;
        const std::vector<RunExporter> exporters = RunExporters(WritePicture);
        request.filter = ExportDialogFilter(exporters);
        request.defaultExt = QStringLiteral("png");
        request.fileName = QFileInfo(recording->modelPath()).fileName();
        request.overwritePrompt = true;
        const QString fileName = prompts().fileName(request);
        if (fileName.isEmpty())
            return;
        TraceView view = Canvas->view();
        if (wholeRun) {
            view.firstStep = 0;
            view.lastStep = recording->lastStep();
        }
        const ExportResult written = ExporterForFile(exporters, fileName).write(*recording, &view, fileName);
        if (written)
            return;
        error = written.error();
    }
    MessageRequest message;
    message.text = error;
    message.icon = Prompt::Icon::Critical;
    prompts().message(message);
}

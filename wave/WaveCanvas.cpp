#include "wave/WaveCanvas.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int GripPixels = 4;
constexpr double ZoomStep = 1.25;
// The fewest steps a view shows, so that one step never fills the window.
constexpr qint64 MinVisibleSteps = 10;

} // namespace

WaveCanvas::WaveCanvas(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void WaveCanvas::setRecording(std::shared_ptr<const RunRecording> recording)
{
    m_recording = std::move(recording);
    m_view = m_recording ? TraceView::wholeRun(*m_recording) : TraceView();
    m_recordedSteps = -1;
    m_fit = m_follow = true;
    refresh();
}

void WaveCanvas::setRows(const std::vector<int> &rows)
{
    m_view.rows = rows;
    m_view.selected = std::min<int>(m_view.selected, int(rows.size()) - 1);
    fitHeight();
    update();
}

void WaveCanvas::fitHeight()
{
    if (m_recording)
        setMinimumHeight(TracePainter(*m_recording).pictureSize(fontMetrics(), m_view, width()).height());
}

void WaveCanvas::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A narrower window wraps the legend to more lines.
    fitHeight();
}

void WaveCanvas::refresh()
{
    if (!m_recording || m_recording->lastStep() == m_recordedSteps)
        return;
    m_recordedSteps = m_recording->lastStep();
    const qint64 end = m_recordedSteps + 1;
    if (m_fit)
        setRange(0, end);
    else if (m_follow)
        setRange(end - visibleSteps(), visibleSteps());
    else
        emit viewChanged();
}

void WaveCanvas::setRange(qint64 first, qint64 count)
{
    const qint64 end = m_recording ? m_recording->lastStep() + 1 : 1;
    count = std::clamp<qint64>(count, std::min(MinVisibleSteps, end), end);
    first = std::clamp<qint64>(first, 0, end - count);
    m_view.firstStep = first;
    m_view.lastStep = first + count - 1;
    m_fit = count == end;
    m_follow = m_view.lastStep + 1 == end;
    update();
    emit viewChanged();
}

void WaveCanvas::fitAll() { setRange(0, m_recording ? m_recording->lastStep() + 1 : 1); }

void WaveCanvas::scrollTo(qint64 first) { setRange(first, visibleSteps()); }

void WaveCanvas::zoom(double factor)
{
    const qint64 middle = m_view.firstStep + visibleSteps() / 2;
    zoomAround(factor, m_view.cursorA && *m_view.cursorA >= m_view.firstStep && *m_view.cursorA <= m_view.lastStep
                           ? *m_view.cursorA
                           : middle);
}

void WaveCanvas::zoomAround(double factor, qint64 anchor)
{
    // The anchor keeps its place on the screen.
    const double share = double(anchor - m_view.firstStep) / double(visibleSteps());
    const auto count = qint64(std::llround(double(visibleSteps()) / factor));
    const qint64 kept = std::max(count, MinVisibleSteps);
    setRange(anchor - qint64(share * double(kept)), kept);
}

QRect WaveCanvas::traces() const
{
    if (!m_recording)
        return {};
    return TracePainter::traceArea(rect(), TracePainter(*m_recording).nameWidth(fontMetrics(), m_view), m_view);
}

qint64 WaveCanvas::boundaryAtX(int x) const
{
    const QRect area = traces();
    const double share = double(x - area.left()) / std::max(1, area.width());
    return std::clamp<qint64>(m_view.firstStep + std::llround(share * double(visibleSteps())), 0,
                              m_recording->lastStep());
}

int WaveCanvas::rowAtY(int y) const
{
    const int row = (y - traces().top()) / TracePainter::RowHeight;
    return y >= traces().top() && row < int(m_view.rows.size()) ? row : -1;
}

void WaveCanvas::jumpToChange(int direction, bool cursorB)
{
    if (!m_recording || m_view.selected < 0)
        return;
    std::optional<qint64> &cursor = cursorB ? m_view.cursorB : m_view.cursorA;
    const int lane = m_view.rows[size_t(m_view.selected)];
    const qint64 from = cursor.value_or(direction > 0 ? m_view.firstStep : m_view.lastStep);
    const qint64 change = direction > 0 ? m_recording->nextChange(lane, from) : m_recording->previousChange(lane, from);
    if (change < 0)
        return;
    cursor = change;
    if (change < m_view.firstStep || change > m_view.lastStep)
        scrollTo(change - visibleSteps() / 2);
    update();
    emit viewChanged();
}

void WaveCanvas::selectRow(int row)
{
    m_view.selected = std::clamp(row, -1, int(m_view.rows.size()) - 1);
    update();
}

void WaveCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_recording) {
        painter.fillRect(rect(), Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Прогона ещё не было"));
        return;
    }
    TracePainter(*m_recording).paint(painter, rect(), m_view);
}

void WaveCanvas::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: zoom(ZoomStep); break;
    case Qt::Key_Minus: zoom(1 / ZoomStep); break;
    case Qt::Key_0:
    case Qt::Key_Home: fitAll(); break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        jumpToChange(event->key() == Qt::Key_Left ? -1 : 1, event->modifiers() & Qt::ShiftModifier);
        break;
    case Qt::Key_Up: selectRow(std::max(0, m_view.selected - 1)); break;
    case Qt::Key_Down: selectRow(m_view.selected + 1); break;
    default: QWidget::keyPressEvent(event); return;
    }
}

void WaveCanvas::mousePressEvent(QMouseEvent *event)
{
    if (!m_recording || event->button() != Qt::LeftButton)
        return;
    const QRect area = traces();
    const int x = event->position().toPoint().x();
    if (x < area.left()) {
        selectRow(rowAtY(event->position().toPoint().y()));
        return;
    }
    const auto near = [&](const std::optional<qint64> &cursor) {
        return cursor && std::abs(TracePainter::xOfStep(area, m_view, double(*cursor)) - x) <= GripPixels;
    };
    m_drag = near(m_view.cursorA) ? Drag::CursorA : near(m_view.cursorB) ? Drag::CursorB : Drag::Pan;
    m_pressAt = event->position().toPoint();
    m_pressFirst = m_view.firstStep;
    m_moved = false;
}

void WaveCanvas::mouseMoveEvent(QMouseEvent *event)
{
    if (m_drag == Drag::None)
        return;
    const QPoint pos = event->position().toPoint();
    m_moved = m_moved || (pos - m_pressAt).manhattanLength() > 3;
    if (!m_moved)
        return;
    if (m_drag == Drag::Pan) {
        const double stepsPerPixel = double(visibleSteps()) / std::max(1, traces().width());
        scrollTo(m_pressFirst - std::llround((pos.x() - m_pressAt.x()) * stepsPerPixel));
        return;
    }
    (m_drag == Drag::CursorA ? m_view.cursorA : m_view.cursorB) = boundaryAtX(pos.x());
    update();
    emit viewChanged();
}

void WaveCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_drag != Drag::None && !m_moved) {
        const qint64 step = boundaryAtX(event->position().toPoint().x());
        (event->modifiers() & Qt::ShiftModifier ? m_view.cursorB : m_view.cursorA) = step;
        if (const int row = rowAtY(event->position().toPoint().y()); row >= 0)
            m_view.selected = row;
        update();
        emit viewChanged();
    }
    m_drag = Drag::None;
}

void WaveCanvas::wheelEvent(QWheelEvent *event)
{
    if (!m_recording || !(event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))) {
        event->ignore();
        return;
    }
    const int notches = event->angleDelta().y() / 120;
    if (event->modifiers() & Qt::ControlModifier)
        zoomAround(std::pow(ZoomStep, notches), boundaryAtX(event->position().toPoint().x()));
    else
        scrollTo(m_view.firstStep - notches * std::max<qint64>(1, visibleSteps() / 10));
    event->accept();
}

bool WaveCanvas::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

QString WaveCanvas::toolTipAt(const QPoint &pos) const
{
    if (!m_recording)
        return {};
    const QRect area = traces();
    if (pos.x() < area.left() || pos.x() > area.right())
        return {};
    if (pos.y() > area.bottom()) {
        QStringList texts;
        for (const RunRecording::Mark &mark : m_recording->marks())
            if (std::abs(TracePainter::xOfStep(area, m_view, double(mark.step)) - pos.x()) <= GripPixels)
                texts.append(QStringLiteral("шаг %1 (%2): %3")
                                 .arg(mark.step)
                                 .arg(TracePainter::secondsText(mark.step), mark.text));
        return texts.join(QLatin1Char('\n'));
    }
    const int row = rowAtY(pos.y());
    if (row < 0)
        return {};
    const int lane = m_view.rows[size_t(row)];
    const qint64 step = TracePainter::stepAtX(area, m_view, pos.x());
    return QStringLiteral("%1 = %2, шаг %3 (%4)")
        .arg(m_recording->lanes()[size_t(lane)].name)
        .arg(m_recording->valueAt(lane, step))
        .arg(step)
        .arg(TracePainter::secondsText(step));
}

#include "wave/TracePainter.h"

#include "sim/DiagramRow.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <span>

namespace {

using Kind = RunRecording::LaneKind;

const QColor TraceColor(20, 20, 20);
const QColor GridColor(225, 225, 225);
const QColor SelectedColor(232, 240, 255);
const QColor PickupColor(0, 140, 60);
const QColor ReleaseColor(220, 120, 0);
const QColor FaultColor(255, 0, 0, 45);
const QColor CommandMarkColor(30, 90, 220);
const QColor FaultMarkColor(210, 20, 20);
const QColor RestartMarkColor(90, 90, 90);
const QColor ViolationMarkColor(230, 0, 0);

// A broken property's step: a framed column across the traces.
void paintViolation(QPainter &painter, const QRectF &column)
{
    painter.setPen(QPen(ViolationMarkColor, 1.5));
    painter.setBrush(QBrush(ViolationMarkColor, Qt::Dense6Pattern));
    painter.drawRect(column);
    painter.setBrush(Qt::NoBrush);
}
const QColor CursorAColor(30, 90, 220);
const QColor CursorBColor(190, 0, 170);

QBrush pickupBrush() { return QBrush(PickupColor, Qt::BDiagPattern); }
QBrush releaseBrush() { return QBrush(ReleaseColor, Qt::FDiagPattern); }

// A label spacing of 1, 2 or 5 times a power of ten steps, at least minPixels apart.
qint64 labelSpacing(double pixelsPerStep, double minPixels)
{
    for (qint64 power = 1;; power *= 10)
        for (const qint64 factor : {1, 2, 5})
            if (double(factor * power) * pixelsPerStep >= minPixels || factor * power >= (qint64(1) << 40))
                return factor * power;
}

QColor markColor(RunRecording::Mark::Kind kind)
{
    switch (kind) {
    case RunRecording::Mark::Kind::Command: return CommandMarkColor;
    case RunRecording::Mark::Kind::Fault: return FaultMarkColor;
    case RunRecording::Mark::Kind::Restart: return RestartMarkColor;
    case RunRecording::Mark::Kind::Violation: return ViolationMarkColor;
    }
    return CommandMarkColor;
}

void paintMark(QPainter &painter, QPointF tip, double height, const QColor &color)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPolygon(QPolygonF({tip, QPointF(tip.x() - 5, tip.y() + height), QPointF(tip.x() + 5, tip.y() + height)}));
    painter.setBrush(Qt::NoBrush);
}

// The legend's entries: a sample, then the text.
const QString LegendTexts[] = {QStringLiteral("выкл / вкл"), QStringLiteral("притяжение"), QStringLiteral("отпадание"),
                               QStringLiteral("неисправность"), QStringLiteral("команда"), QStringLiteral("перезапуск"),
                               QStringLiteral("нарушение")};
constexpr int LegendLeft = 8;
constexpr int SampleWidth = 24;
constexpr int SampleGap = 6;
constexpr int EntryGap = 18;

// Where each entry of the legend starts within a footer of width, wrapped
// to further lines of FooterHeight where the width ends.
// The places of the first `entries` legend entries.
std::vector<QPoint> legendPlaces(const QFontMetrics &metrics, int width, size_t entries)
{
    std::vector<QPoint> places;
    QPoint at(LegendLeft, 0);
    for (const QString &text : std::span(LegendTexts).first(entries)) {
        const int entry = SampleWidth + SampleGap + metrics.horizontalAdvance(text) + 2;
        if (at.x() > LegendLeft && at.x() + entry > width)
            at = QPoint(LegendLeft, at.y() + TracePainter::FooterHeight);
        places.push_back(at);
        at.rx() += entry + EntryGap;
    }
    return places;
}

} // namespace

TraceView TraceView::wholeRun(const RunRecording &recording)
{
    TraceView view;
    view.lastStep = recording.lastStep();
    for (size_t k = 0; k < recording.lanes().size(); ++k) {
        const Kind kind = recording.lanes()[k].kind;
        if (kind == Kind::Input || kind == Kind::Element || kind == Kind::Output)
            view.rows.push_back(int(k));
    }
    return view;
}

int TracePainter::nameWidth(const QFontMetrics &metrics, const TraceView &view) const
{
    int width = 60;
    for (const int lane : view.rows)
        width = std::max(width, metrics.horizontalAdvance(m_recording.lanes()[size_t(lane)].name) + 16);
    return width;
}

int TracePainter::footerWidth(const QFontMetrics &metrics, const TraceView &view, int width) const
{
    return width - nameWidth(metrics, view);
}

QSize TracePainter::pictureSize(const QFontMetrics &metrics, const TraceView &view, int width) const
{
    const int legendLines = legendPlaces(metrics, footerWidth(metrics, view, width), legendEntries()).back().y() / FooterHeight + 1;
    return {width, TitleHeight + int(view.rows.size()) * RowHeight + AxisHeight + legendLines * FooterHeight};
}

QRect TracePainter::traceArea(const QRect &area, int nameWidth, const TraceView &view)
{
    return {area.left() + nameWidth, area.top() + TitleHeight, std::max(1, area.width() - nameWidth - 28),
            int(view.rows.size()) * RowHeight};
}

double TracePainter::xOfStep(const QRect &traces, const TraceView &view, double step)
{
    const double count = double(view.lastStep + 1 - view.firstStep);
    return traces.left() + (step - double(view.firstStep)) * traces.width() / count;
}

qint64 TracePainter::stepAtX(const QRect &traces, const TraceView &view, int x)
{
    const double count = double(view.lastStep + 1 - view.firstStep);
    const auto step = view.firstStep + qint64(std::floor(double(x - traces.left()) * count / traces.width()));
    return std::clamp(step, view.firstStep, view.lastStep);
}

QString TracePainter::secondsText(qint64 steps)
{
    // The decimal mark of the user's locale, as in the diagram's rows.
    return QString::number(double(steps) * RunRecording::StepSeconds, 'f', 2)
               .replace(QLatin1Char('.'), QLatin1Char(DecimalSeparator(QLocale())))
           + QStringLiteral(" с");
}

QString TracePainter::cursorText(const TraceView &view)
{
    QStringList parts;
    if (view.cursorA)
        parts.append(QStringLiteral("A: %1 (шаг %2)").arg(secondsText(*view.cursorA)).arg(*view.cursorA));
    if (view.cursorB)
        parts.append(QStringLiteral("B: %1 (шаг %2)").arg(secondsText(*view.cursorB)).arg(*view.cursorB));
    if (view.cursorA && view.cursorB) {
        const qint64 delta = *view.cursorB - *view.cursorA;
        parts.append(QStringLiteral("Δt = %1 (шагов: %2)").arg(secondsText(delta)).arg(delta));
    }
    return parts.join(QStringLiteral("   "));
}

int TracePainter::laneOf(Kind kind, int element) const
{
    const std::vector<RunRecording::Lane> &lanes = m_recording.lanes();
    for (size_t k = 0; k < lanes.size(); ++k)
        if (lanes[k].kind == kind && lanes[k].element == element)
            return int(k);
    return -1;
}

template<typename Span>
void TracePainter::forEachSpan(const QRect &traces, const TraceView &view, int lane, Span span) const
{
    const RunRecording::Lane &runs = m_recording.lanes()[size_t(lane)];
    const qint64 end = view.lastStep + 1;
    size_t run = m_recording.runAt(lane, view.firstStep);
    qint64 from = view.firstStep;
    while (from < end) {
        const qint64 to = run + 1 < runs.steps.size() ? std::min<qint64>(runs.steps[run + 1], end) : end;
        const double x0 = xOfStep(traces, view, double(from));
        const double x1 = xOfStep(traces, view, double(to));
        if (x1 - x0 < 1 && to < end) {
            // Narrower than a pixel: when more changes follow within the
            // pixel, they are drawn as one busy pixel.
            const qint64 pixelEnd = std::min(end, stepAtX(traces, view, int(std::floor(x0)) + 1) + 1);
            const size_t later = m_recording.runAt(lane, pixelEnd - 1);
            if (later > run + 1) {
                span(x0, xOfStep(traces, view, double(pixelEnd)), int(runs.values[later]), true);
                run = later;
                from = pixelEnd;
                continue;
            }
        }
        span(x0, x1, int(runs.values[run]), false);
        from = to;
        ++run;
    }
}

void TracePainter::paintBands(QPainter &painter, int top, int bottom, const QRect &traces, const TraceView &view,
                              int lane, const QBrush &brush) const
{
    if (lane < 0)
        return;
    forEachSpan(traces, view, lane, [&](double x0, double x1, int value, bool busy) {
        if (value != 0 || busy)
            painter.fillRect(QRectF(x0, top, std::max(1.0, x1 - x0), bottom - top), brush);
    });
}

void TracePainter::paintSquare(QPainter &painter, const QRect &row, const QRect &traces, const TraceView &view,
                               int lane) const
{
    const double high = row.top() + 5.5;
    const double low = row.bottom() - 4.5;
    QList<QLineF> lines;
    int previous = -1;
    forEachSpan(traces, view, lane, [&](double x0, double x1, int value, bool busy) {
        if (busy || (previous >= 0 && previous != value))
            lines.append(QLineF(x0, high, x0, low));
        if (!busy || x1 - x0 >= 1)
            lines.append(QLineF(x0, value ? high : low, x1, value ? high : low));
        previous = value;
    });
    painter.setPen(QPen(TraceColor, 1.5));
    painter.drawLines(lines);
}

void TracePainter::paintSignal(QPainter &painter, const QRect &row, const QRect &traces, const TraceView &view,
                               int lane) const
{
    const RunRecording::Lane &signal = m_recording.lanes()[size_t(lane)];
    if (signal.kind == Kind::Element) {
        const int mid = row.center().y();
        paintBands(painter, row.top() + 1, row.bottom(), traces, view, laneOf(Kind::Fault, signal.element),
                   QBrush(FaultColor));
        // Pickup running fills the lower half, release running the upper
        // half: neither reaches both levels, so neither reads as on or off.
        paintBands(painter, mid, row.bottom() - 4, traces, view, laneOf(Kind::Pickup, signal.element), pickupBrush());
        paintBands(painter, row.top() + 5, mid, traces, view, laneOf(Kind::Release, signal.element), releaseBrush());
    }
    paintSquare(painter, row, traces, view, lane);
}

void TracePainter::paintAxis(QPainter &painter, const QRect &axis, const QRect &traces, const TraceView &view) const
{
    const double pixelsPerStep = double(traces.width()) / double(view.lastStep + 1 - view.firstStep);
    const qint64 spacing = labelSpacing(pixelsPerStep, 80);
    const qint64 minor = pixelsPerStep >= 4 ? 1 : spacing >= 10 ? spacing / 10 : spacing;
    const QFontMetrics metrics = painter.fontMetrics();
    painter.setPen(TraceColor);
    painter.drawLine(traces.left(), axis.top(), traces.right(), axis.top());
    for (qint64 step = (view.firstStep + minor - 1) / minor * minor; step <= view.lastStep + 1; step += minor) {
        const double x = xOfStep(traces, view, double(step));
        const bool labelled = step % spacing == 0;
        painter.setPen(labelled ? TraceColor : Qt::gray);
        painter.drawLine(QLineF(x, axis.top(), x, axis.top() + (labelled ? 7 : 3)));
        if (labelled)
            painter.drawText(QRectF(x - 50, axis.top() + 8, 100, metrics.height()), Qt::AlignHCenter,
                             secondsText(step));
    }
    for (const RunRecording::Mark &mark : m_recording.marks()) {
        if (mark.step < view.firstStep || mark.step > view.lastStep)
            continue;
        paintMark(painter, QPointF(xOfStep(traces, view, double(mark.step)), axis.bottom() - 10), 9,
                  markColor(mark.kind));
    }
}

size_t TracePainter::legendEntries() const
{
    const bool violation = std::ranges::any_of(m_recording.marks(), [](const RunRecording::Mark &mark) {
        return mark.kind == RunRecording::Mark::Kind::Violation;
    });
    return std::size(LegendTexts) - (violation ? 0 : 1);
}

void TracePainter::paintLegend(QPainter &painter, const QRect &footer) const
{
    const QFontMetrics metrics = painter.fontMetrics();
    const std::vector<QPoint> places = legendPlaces(metrics, footer.width(), legendEntries());
    for (size_t k = 0; k < places.size(); ++k) {
        const QPoint at = footer.topLeft() + places[k];
        const QRect sample(at.x(), at.y() + 4, SampleWidth, FooterHeight - 8);
        switch (k) {
        case 0:
            painter.setPen(QPen(TraceColor, 1.5));
            painter.drawPolyline(QPolygon({sample.bottomLeft(), QPoint(sample.center().x(), sample.bottom()),
                                           QPoint(sample.center().x(), sample.top()), sample.topRight()}));
            break;
        case 1: painter.fillRect(sample, pickupBrush()); break;
        case 2: painter.fillRect(sample, releaseBrush()); break;
        case 3: painter.fillRect(sample, FaultColor); break;
        case 4: paintMark(painter, QPointF(sample.center().x(), sample.top()), sample.height(), CommandMarkColor); break;
        case 5: paintMark(painter, QPointF(sample.center().x(), sample.top()), sample.height(), RestartMarkColor); break;
        case 6: paintViolation(painter, QRectF(sample.center().x() - 3, sample.top(), 6, sample.height())); break;
        }
        const QString &text = LegendTexts[k];
        painter.setPen(TraceColor);
        painter.drawText(QRect(sample.right() + 1 + SampleGap, at.y(), metrics.horizontalAdvance(text) + 2, FooterHeight),
                         Qt::AlignVCenter, text);
    }
}

void TracePainter::paint(QPainter &painter, const QRect &area, const TraceView &view) const
{
    painter.fillRect(area, Qt::white);
    const int names = nameWidth(painter.fontMetrics(), view);
    const QRect traces = traceArea(area, names, view);
    const QRect title(area.left() + 8, area.top(), area.width() - 16, TitleHeight);
    painter.setPen(TraceColor);
    painter.drawText(title, Qt::AlignVCenter | Qt::AlignLeft, m_recording.modelName());
    painter.drawText(title, Qt::AlignVCenter | Qt::AlignRight, cursorText(view));
    if (view.lastStep < view.firstStep)
        return;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (size_t r = 0; r < view.rows.size(); ++r) {
        const QRect row(area.left(), traces.top() + int(r) * RowHeight, area.width(), RowHeight);
        if (int(r) == view.selected)
            painter.fillRect(row, SelectedColor);
        painter.setPen(GridColor);
        painter.drawLine(traces.left(), row.bottom(), traces.right(), row.bottom());
        painter.setPen(TraceColor);
        painter.drawText(QRect(area.left() + 8, row.top(), names - 12, RowHeight), Qt::AlignVCenter,
                         m_recording.lanes()[size_t(view.rows[r])].name);
        painter.setClipRect(QRect(traces.left(), row.top(), traces.width() + 1, RowHeight));
        paintSignal(painter, row, traces, view, view.rows[r]);
        painter.setClipping(false);
    }
    for (const RunRecording::Mark &mark : m_recording.marks())
        if (mark.kind == RunRecording::Mark::Kind::Violation && mark.step >= view.firstStep && mark.step <= view.lastStep) {
            const double x = xOfStep(traces, view, double(mark.step));
            if (mark.fromStep > 0) {
                // The steps the property looked back over, lighter than the
                // step it broke at and unlike a fault's fill.
                painter.setPen(QPen(ViolationMarkColor, 1, Qt::DashLine));
                painter.setBrush(QBrush(ViolationMarkColor, Qt::Dense7Pattern));
                painter.drawRect(QRectF(
                    QPointF(xOfStep(traces, view, double(std::max(mark.fromStep, view.firstStep))), traces.top()),
                    QPointF(x, traces.bottom())));
                painter.setBrush(Qt::NoBrush);
            }
            paintViolation(painter, QRectF(QPointF(x, traces.top()),
                                           QPointF(std::max(xOfStep(traces, view, double(mark.step + 1)), x + 3),
                                                   traces.bottom())));
        }
    paintAxis(painter, QRect(area.left(), traces.bottom() + 1, area.width(), AxisHeight), traces, view);
    const std::pair<const std::optional<qint64> &, QColor> cursors[] = {{view.cursorA, CursorAColor},
                                                                       {view.cursorB, CursorBColor}};
    for (const auto &[cursor, color] : cursors) {
        if (!cursor || *cursor < view.firstStep || *cursor > view.lastStep + 1)
            continue;
        const double x = xOfStep(traces, view, double(*cursor));
        painter.setPen(QPen(color, 1, Qt::DashLine));
        painter.drawLine(QLineF(x, traces.top(), x, traces.bottom() + AxisHeight));
        // The letter goes under the axis labels, clear of the title and the marks.
        painter.drawText(QPointF(x + 4, traces.bottom() + AxisHeight - 2),
                         &cursor == &view.cursorA ? QStringLiteral("A") : QStringLiteral("B"));
    }
    paintLegend(painter, QRect(area.left() + names - LegendLeft, traces.bottom() + AxisHeight + 1,
                               footerWidth(painter.fontMetrics(), view, area.width()),
                               area.bottom() - traces.bottom() - AxisHeight));
    painter.restore();
}

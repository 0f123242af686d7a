#pragma once

#include "sim/RunRecording.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

class QBrush;
class QFontMetrics;
class QPainter;

// What part of a recording is drawn and how: the steps, the signals in
// their order, the cursors.
struct TraceView
{
    qint64 firstStep = 0;
    qint64 lastStep = 0;      // inclusive
    std::vector<int> rows; // lane indices of the input, elements and outputs shown
    std::optional<qint64> cursorA;
    std::optional<qint64> cursorB;
    int selected = -1; // index into rows of the selected row

    // Every signal of recording in model order, over the whole run.
    static TraceView wholeRun(const RunRecording &recording);
};

// Draws the traces of a recording: one row per signal with its name, square
// traces, the pickup and release phases of an element hatched at half
// height, a fault as a tinted band, a time axis in seconds with step ticks,
// the marks of commands, faults and restarts, the cursors and a legend. The
// window and the picture exports draw through the same object.
class TracePainter
{
public:
    static constexpr int TitleHeight = 22;
    static constexpr int RowHeight = 26;
    static constexpr int AxisHeight = 34;
    static constexpr int FooterHeight = 22;

    explicit TracePainter(const RunRecording &recording) : m_recording(recording) {}

    // Width of the name column for the rows of view, in the given font.
    int nameWidth(const QFontMetrics &metrics, const TraceView &view) const;
    // The size a picture of view needs at the given width, with the legend
    // wrapped to as many lines as that width takes.
    QSize pictureSize(const QFontMetrics &metrics, const TraceView &view, int width) const;

    void paint(QPainter &painter, const QRect &area, const TraceView &view) const;

    // The area of the traces inside area (right of the names, between the
    // title and the axis), and the mapping between its x and the steps.
    static QRect traceArea(const QRect &area, int nameWidth, const TraceView &view);
    static double xOfStep(const QRect &traces, const TraceView &view, double step);
    static qint64 stepAtX(const QRect &traces, const TraceView &view, int x);

    // The text under the traces: the cursors and the time between them.
    static QString cursorText(const TraceView &view);
    static QString secondsText(qint64 steps);

private:
    void paintSignal(QPainter &painter, const QRect &row, const QRect &traces, const TraceView &view, int lane) const;
    void paintSquare(QPainter &painter, const QRect &row, const QRect &traces, const TraceView &view, int lane) const;
    void paintBands(QPainter &painter, int top, int bottom, const QRect &traces, const TraceView &view, int lane,
                    const QBrush &brush) const;
    void paintAxis(QPainter &painter, const QRect &axis, const QRect &traces, const TraceView &view) const;
    void paintLegend(QPainter &painter, const QRect &footer) const;
    int footerWidth(const QFontMetrics &metrics, const TraceView &view, int width) const;
    int laneOf(RunRecording::LaneKind kind, int element) const;
    // The legend names a violation only for a run that has one.
    size_t legendEntries() const;

    // Calls span(x0, x1, value, busy) for the runs of lane within the view,
    // one call per pixel at most: busy when the lane changed more than once
    // within that pixel.
    template<typename Span>
    void forEachSpan(const QRect &traces, const TraceView &view, int lane, Span span) const;

    const RunRecording &m_recording;
};

#pragma once

#include "wave/TracePainter.h"

#include <QWidget>

#include <memory>

// The traces of a recording in the window «Графики», with what the user does
// to them: zoom (Ctrl+wheel, + and −), pan (drag, Shift+wheel), two cursors
// (click and Shift+click, or drag a cursor), the selected signal (a click on
// its name, ↑ ↓) and its previous and next change (← →, Shift for cursor B), tooltips on the
// marks and the traces. While the run goes on the view follows its end,
// unless the user has moved away from it.
class WaveCanvas : public QWidget
{
    Q_OBJECT
public:
    explicit WaveCanvas(QWidget *parent = nullptr);

    void setRecording(std::shared_ptr<const RunRecording> recording);
    const std::shared_ptr<const RunRecording> &recording() const { return m_recording; }
    void setRows(const std::vector<int> &rows);
    const TraceView &view() const { return m_view; }

    // Takes in the steps recorded since the last call.
    void refresh();
    void fitAll();
    void zoom(double factor);
    // Shows the steps from first on, keeping the zoom.
    void scrollTo(qint64 first);
    qint64 visibleSteps() const { return m_view.lastStep + 1 - m_view.firstStep; }
    // Moves cursor A (or B) to the previous (direction -1) or next change
    // of the selected signal.
    void jumpToChange(int direction, bool cursorB = false);
    void selectRow(int row);

signals:
    void viewChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    enum class Drag { None, Pan, CursorA, CursorB };

    QRect traces() const;
    // The height the rows, the axis and the legend wrapped to the width need.
    void fitHeight();
    qint64 boundaryAtX(int x) const;
    void setRange(qint64 first, qint64 count);
    void zoomAround(double factor, qint64 anchor);
    int rowAtY(int y) const;
    QString toolTipAt(const QPoint &pos) const;

    std::shared_ptr<const RunRecording> m_recording;
    TraceView m_view;
    qint64 m_recordedSteps = -1;
    bool m_fit = true;    // the whole run stays in view
    bool m_follow = true; // the end of the run stays in view
    Drag m_drag = Drag::None;
    QPoint m_pressAt;
    qint64 m_pressFirst = 0;
    bool m_moved = false;
};

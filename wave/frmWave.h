#pragma once

#include "wave/SignalOrder.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

class QLabel;
class QListWidget;
class QMdiArea;
class QScrollBar;
class QTimer;
class WaveCanvas;

// «Графики»: the traces of the latest run in the document area, live while
// it runs and kept after its diagram window has closed. Signals can be
// hidden, shown and reordered (the choice is kept per model file), and the
// traces exported as pictures of the visible range or the whole run, CSV or
// WaveJSON.
class frmWave : public QWidget
{
    Q_OBJECT
public:
    // Opens the window in area, or brings the open one to the front. With no
    // place stored yet it opens right of or below beside (the diagram
    // window's place) when the area has room there.
    static frmWave *Show(QMdiArea &area, const QRect &beside = QRect());

    WaveCanvas *Canvas;
    QScrollBar *TimeBar;
    QLabel *Cursors;
    QListWidget *SignalList;

    // Takes in the latest run and its new steps; the timer calls it.
    void Refresh();
    // The export of the file name the user gives; pictures show the
    // visible range or the whole run.
    void Export(bool wholeRun);

private:
    frmWave();

    void showRecording();
    void signalsEdited();
    void viewChanged();

    QTimer *m_refresh;
    std::vector<SignalChoice> m_choices;
    bool m_fillingList = false;
};

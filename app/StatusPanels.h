#pragma once

#include <QList>

class KeyStates;
class QLabel;
class QStatusBar;
class QTimer;

// The five panels of the main window's status bar: the program's text, the
// Num Lock and insert states, today's date and the time, kept current by a
// timer. Panel widths are given in twips.
class StatusPanels
{
public:
    explicit StatusPanels(QStatusBar &bar);

    // Panels 1..5.
    QLabel *panel(int n) const { return m_panels.value(n - 1); }
    void refresh();

private:
    QList<QLabel *> m_panels;
    KeyStates *m_keys;
    QTimer *m_timer;
};

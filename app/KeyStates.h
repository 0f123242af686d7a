#pragma once

#include <QObject>

// The lock and mode keys the status bar shows. Num Lock is read from the
// X server's keyboard indicators where there is one (off elsewhere); the
// insert mode is the program's own, on at start and switched by the Insert
// key pressed anywhere in the program. Text fields type over while it is off.
class KeyStates : public QObject
{
public:
    explicit KeyStates(QObject *parent = nullptr);

    static bool numLock();
    bool insertMode() const { return m_insert; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followInsertMode(QObject *field) const;

    bool m_insert = true;
    quint64 m_lastInsertTime = 0;
};

#pragma once

#include <QObject>

#include <functional>

class QComboBox;

// The selection rule the code and fault dialogs share for their drop-down
// list: moving through the list with the Up and Down keys only selects,
// while a choice made any other way (the mouse) moves the focus on as Tab
// would. Losing the focus to another control calls lostFocus; the list's own
// pop-up taking the focus, or another application, does not count.
// The dialog holds it as a member, so that it stops watching before the
// list's own destruction moves the focus away.
class ArrowSelectList : public QObject
{
    Q_OBJECT
public:
    ArrowSelectList(QComboBox &list, bool arrowSelect, std::function<void()> lostFocus);

    bool ArrowSelect;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    // A choice in the list, by mouse or by an arrow key.
    void ItemChosen();

private:

    QComboBox &m_list;
    std::function<void()> m_lostFocus;
};

#include "sim/ArrowSelectList.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>

ArrowSelectList::ArrowSelectList(QComboBox &list, bool arrowSelect, std::function<void()> lostFocus)
    : ArrowSelect(arrowSelect), m_list(list), m_lostFocus(std::move(lostFocus))
{
    list.installEventFilter(this);
    // activated: a choice by the user, by mouse or key, not one made by code.
    connect(&list, &QComboBox::activated, this, &ArrowSelectList::ItemChosen);
}

bool ArrowSelectList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_list) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down)
                ArrowSelect = true;
        } else if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            const bool toOwnPopup = reason == Qt::PopupFocusReason || m_list.view()->isVisible();
            if (!toOwnPopup && reason != Qt::ActiveWindowFocusReason)
                m_lostFocus();
        }
    }
    return QObject::eventFilter(watched, event);
}

void ArrowSelectList::ItemChosen()
{
    if (ArrowSelect) {
        ArrowSelect = false;
        return;
    }
    // The next control in the tab order, as the Tab key would find it.
    for (QWidget *next = m_list.nextInFocusChain(); next && next != &m_list; next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) && next->isEnabled() && next->isVisibleTo(m_list.window())
            && next->window() == m_list.window()) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

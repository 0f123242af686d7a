#include "app/KeyStates.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTextEdit>
#include <QtGui/qguiapplication_platform.h>

KeyStates::KeyStates(QObject *parent) : QObject(parent)
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
}

bool KeyStates::eventFilter(QObject *watched, QEvent *event)
{
    // A key nobody takes travels up through the parents and passes here at
    // each of them; its time stamp tells a new press from the same one.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Insert && !key->isAutoRepeat() && key->spontaneous()
            && key->timestamp() != m_lastInsertTime) {
            m_lastInsertTime = key->timestamp();
            m_insert = !m_insert;
            followInsertMode(QApplication::focusWidget());
        }
    } else if (event->type() == QEvent::FocusIn) {
        followInsertMode(watched);
    }
    return QObject::eventFilter(watched, event);
}

// Typing goes only to the focused field, so a text field that follows the
// mode from its focus on types as the status bar says.
void KeyStates::followInsertMode(QObject *field) const
{
    if (auto *text = qobject_cast<QTextEdit *>(field))
        text->setOverwriteMode(!m_insert);
}

// Last: the X headers define macros (KeyPress, None, Bool) that clash with
// Qt's names, so nothing after them may use those.
#include <X11/XKBlib.h>

bool KeyStates::numLock()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    const Atom numLockName = XInternAtom(display, "Num Lock", True);
    Bool on = False;
    if (numLockName == None || !XkbGetNamedIndicator(display, numLockName, nullptr, &on, nullptr, nullptr))
        return false;
    return on;
}

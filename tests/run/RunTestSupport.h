#pragma once

#include "tests/support/RecordingSound.h"
#include "tests/support/ScriptedPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include <functional>

// Scripted prompts that can also act while a message box is open, as the
// user's other windows and the timer do in its event loop.
class HookedPrompts : public ScriptedPrompts
{
public:
    std::function<void()> whileMessageOpen;

    Prompt::Answer message(const MessageRequest &request) override
    {
        if (whileMessageOpen)
            whileMessageOpen();
        return ScriptedPrompts::message(request);
    }
};

inline MessageRequest Message(const QString &text, Prompt::Buttons buttons = Prompt::Buttons::Ok,
                              Prompt::Icon icon = Prompt::Icon::None, const QString &title = QString())
{
    MessageRequest request;
    request.text = text;
    request.title = title;
    request.buttons = buttons;
    request.icon = icon;
    return request;
}

// Makes a shown window the active one, so that focus changes happen as for
// a user.
inline void Activate(QWidget &window)
{
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    (void)QTest::qWaitForWindowActive(&window);
}

inline void Click(QDialog &dialog, const char *button)
{
    dialog.findChild<QPushButton *>(QLatin1String(button))->click();
}

// Types text into a field of the window as a user: focus, typing over the
// selected text, then Tab on to the next control.
inline void TypeInto(QDialog &dialog, const char *field, const QString &text)
{
    Activate(dialog);
    auto *edit = dialog.findChild<QLineEdit *>(QLatin1String(field));
    edit->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

#include "report/BackgroundBeep.h"

#include "platform/Prompts.h"

#include <QMouseEvent>

void BackgroundBeepDialog::mousePressEvent(QMouseEvent *event)
{
    // A press a control ignored arrives here too; only the bare window beeps.
    if (!childAt(event->position().toPoint()))
        prompts().beep();
    event->accept();
}

#pragma once

#include "model/ContactFault.h"
#include "model/RunState.h"

#include <QByteArray>
#include <QString>

#include <vector>

// Whoever wants to know what a run does: the report rows, the printer pages,
// the recording, a batch runner's messages. A DiagramStep tells every
// observer in the order they were added, synchronously, and expects none of
// them to ask a person anything.
class StepObserver
{
public:
    virtual ~StepObserver() = default;

    // A run has been started: the code is in force and the header is due.
    virtual void runStarted(const RunState &state) { Q_UNUSED(state); }
    // Step 3: the command has changed and its message (KeyMessage) is due.
    virtual void commandChanged(const QString &message) { Q_UNUSED(message); }
    // Step 15: the row of this step, code page 866.
    virtual void rowComposed(const QByteArray &row) { Q_UNUSED(row); }
    // A step has ended, its questions answered: the signals are those of
    // this step, faults and the pending command included.
    virtual void stepEnded(const RunState &state) { Q_UNUSED(state); }
    // The diagram starts again from time 0 at the next step.
    virtual void restarted() {}
    // The contact faults in force from the next step on (all of them) have
    // changed; contacts are numbered as ModelContacts numbers them.
    virtual void contactFaultsChanged(const std::vector<ContactFault> &faults) { Q_UNUSED(faults); }
};

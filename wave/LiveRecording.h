#pragma once

#include "sim/RunRecording.h"
#include "sim/StepObserver.h"

#include <memory>

// The recording of the run of a diagram window, which observes the run; the
// recording it fills is the last run, which the window «Графики» shows live
// and keeps after the diagram window has closed.
class LiveRecording : public StepObserver
{
public:
    // Starts a new recording, from the state at rest, unless this run has
    // one already.
    void beforeStep(const RunState &state);
    void afterStep(const RunState &state);
    // The diagram starts again from time 0 at the next step; the recording
    // goes on and marks the place.
    void restarted() override;
    // Marks for the recording of this run to place at their steps.
    void planMarks(std::vector<RunRecording::Mark> marks);
    // Contact faults set before the run starts are in force from its first step.
    void contactFaultsChanged(const std::vector<ContactFault> &faults) override;

    // StepObserver
    void runStarted(const RunState &state) override { beforeStep(state); }
    void stepEnded(const RunState &state) override { afterStep(state); }

    // The recording of the latest run; null before the first.
    static std::shared_ptr<const RunRecording> last();

private:
    std::shared_ptr<RunRecording> m_recording;
    std::vector<RunRecording::Mark> m_planned;
    std::vector<ContactFault> m_contactFaults; // set before the recording began
};

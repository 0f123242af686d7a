#pragma once

#include "sim/RunRecording.h"

#include <memory>

// The recording of the run of a diagram window. The window calls it around
// each step; the recording it fills is the last run, which the window
// «Графики» shows live and keeps after the diagram window has closed.
class LiveRecording
{
public:
    // Starts a new recording at the first step of the run, from the state
    // at rest.
    void beforeStep(const RunState &state);
    void afterStep(const RunState &state);
    // The diagram starts again from time 0 at the next step; the recording
    // goes on and marks the place.
    void restarted();

    // The recording of the latest run; null before the first.
    static std::shared_ptr<const RunRecording> last();

private:
    std::shared_ptr<RunRecording> m_recording;
};

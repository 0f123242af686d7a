#include "wave/LiveRecording.h"

namespace {

// One program runs one diagram window at a time; this is its latest run.
std::shared_ptr<const RunRecording> &latest()
{
    static std::shared_ptr<const RunRecording> recording;
    return recording;
}

} // namespace

void LiveRecording::beforeStep(const RunState &state)
{
    if (m_recording)
        return;
    m_recording = std::make_shared<RunRecording>();
    m_recording->begin(state);
    latest() = m_recording;
}

void LiveRecording::afterStep(const RunState &state)
{
    if (m_recording)
        m_recording->record(state);
}

void LiveRecording::restarted()
{
    if (m_recording)
        m_recording->markRestart();
}

std::shared_ptr<const RunRecording> LiveRecording::last() { return latest(); }

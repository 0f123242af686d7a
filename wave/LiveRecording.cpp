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
    m_recording->planMarks(std::move(m_planned));
    if (!m_contactFaults.empty())
        m_recording->recordContactFaults(m_contactFaults);
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

void LiveRecording::planMarks(std::vector<RunRecording::Mark> marks)
{
    if (m_recording)
        m_recording->planMarks(std::move(marks));
    else
        m_planned = std::move(marks);
}

void LiveRecording::contactFaultsChanged(const std::vector<ContactFault> &faults)
{
    if (m_recording)
        m_recording->recordContactFaults(faults);
    else
        m_contactFaults = faults;
}

std::shared_ptr<const RunRecording> LiveRecording::last() { return latest(); }

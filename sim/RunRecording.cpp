#include "sim/RunRecording.h"

#include <algorithm>
#include <functional>
#include <iterator>

void RunRecording::addLane(const QString &name, LaneKind kind, int element)
{
    Lane lane;
    lane.name = name;
    lane.kind = kind;
    lane.element = element;
    m_lanes.push_back(std::move(lane));
}

int RunRecording::laneValue(const RunState &state, const Lane &lane)
{
    const RunSignals &now = state.now();
    switch (lane.kind) {
    case LaneKind::Input: return now.InputVal[1];
    case LaneKind::Element: return now.ElemState[lane.element][1];
    case LaneKind::Output: return now.OutState[lane.element][1];
    case LaneKind::Pickup: return now.PickupPending[lane.element][1];
    case LaneKind::Release: return now.ReleasePending[lane.element][1];
    case LaneKind::Fault: return KindOfFault(now.ElemFault[lane.element]);
    }
    return 0;
}

void RunRecording::begin(const RunState &state)
{
    const RunSignals &now = state.now();
    m_modelName = state.ModelName;
    m_modelPath = state.ModelPath;
    m_lanes.clear();
    m_marks.clear();
    m_planned.clear();
    m_contactFaults.clear();
    m_contactNames.clear();
    for (const Contact &contact : ModelContacts(state))
        m_contactNames.push_back(ContactName(state, contact));
    m_lastStep = 0;
    m_lastKey = now.KeyCmd;

    addLane(QStringLiteral("p"), LaneKind::Input, 0);
    for (int i = 1; i <= state.ElemCount; ++i)
        addLane(state.ElemName[i], LaneKind::Element, i);
    for (int j = 1; j <= state.OutCount; ++j)
        addLane(state.OutName[j], LaneKind::Output, j);
    for (int i = 1; i <= state.ElemCount; ++i) {
        addLane(state.ElemName[i], LaneKind::Pickup, i);
        addLane(state.ElemName[i], LaneKind::Release, i);
        addLane(state.ElemName[i], LaneKind::Fault, i);
    }
    m_lastFault.assign(now.ElemFault.begin(), now.ElemFault.end());
    for (Lane &lane : m_lanes) {
        lane.steps.push_back(0);
        lane.values.push_back(uint8_t(laneValue(state, lane)));
    }
}

void RunRecording::record(const RunState &state)
{
    const RunSignals &now = state.now();
    const auto step = uint32_t(++m_lastStep);
    for (Lane &lane : m_lanes) {
        const auto value = uint8_t(laneValue(state, lane));
        if (value != lane.values.back()) {
            lane.steps.push_back(step);
            lane.values.push_back(value);
        }
    }
    // A command shows in the command field when it is new; the same key
    // pressed again changes nothing in the run.
    if (now.KeyCmd != m_lastKey) {
        if (!now.KeyCmd.isEmpty()) {
            const QString shown = now.KeyCmd == QChar(27) ? QStringLiteral("ESC") : now.KeyCmd;
            m_marks.push_back({m_lastStep, Mark::Kind::Command, QStringLiteral("Команда «%1»").arg(shown)});
        }
        m_lastKey = now.KeyCmd;
    }
    for (int i = 1; i <= state.ElemCount; ++i) {
        if (now.ElemFault[i] == m_lastFault[i])
            continue;
        m_lastFault[i] = now.ElemFault[i];
        m_marks.push_back({m_lastStep, Mark::Kind::Fault, faultText(state.ElemName[i], now.ElemFault[i])});
    }
    for (; !m_planned.empty() && m_planned.back().step <= m_lastStep; m_planned.pop_back())
        m_marks.push_back(std::move(m_planned.back()));
}

void RunRecording::recordContactFaults(const std::vector<ContactFault> &faults)
{
    const std::vector<ContactFault> &before = contactFaultsAt(m_lastStep + 1);
    for (size_t c = 1; c <= m_contactNames.size(); ++c) {
        const uint8_t kind = ContactFaultOf(faults, int(c));
        if (kind != ContactFaultOf(before, int(c)))
            m_marks.push_back({m_lastStep + 1, Mark::Kind::Fault,
                               QStringLiteral("%1: %2").arg(m_contactNames[c - 1],
                                                            kind ? ContactFaultText(kind) : QStringLiteral("работает"))});
    }
    if (!m_contactFaults.empty() && m_contactFaults.back().first == m_lastStep + 1)
        m_contactFaults.back().second = faults;
    else
        m_contactFaults.emplace_back(m_lastStep + 1, faults);
}

const std::vector<ContactFault> &RunRecording::contactFaultsAt(qint64 step) const
{
    static const std::vector<ContactFault> none;
    const auto after = std::ranges::upper_bound(m_contactFaults, step, {}, &std::pair<qint64, std::vector<ContactFault>>::first);
    return after == m_contactFaults.begin() ? none : std::prev(after)->second;
}

void RunRecording::planMarks(std::vector<Mark> marks)
{
    m_planned = std::move(marks);
    std::ranges::stable_sort(m_planned, std::greater{}, &Mark::step);
}

void RunRecording::markRestart()
{
    m_marks.push_back({m_lastStep + 1, Mark::Kind::Restart,
                       QStringLiteral("Вывод диаграммы сначала (её время снова от 0)")});
}

QString RunRecording::faultText(const QString &element, Fault fault)
{
    return QStringLiteral("%1: %2").arg(element, FaultName(fault).toLower());
}

size_t RunRecording::runAt(int lane, qint64 step) const
{
    const std::vector<uint32_t> &steps = m_lanes[size_t(lane)].steps;
    const auto clamped = uint32_t(std::clamp<qint64>(step, 0, m_lastStep));
    return size_t(std::upper_bound(steps.begin(), steps.end(), clamped) - steps.begin()) - 1;
}

int RunRecording::valueAt(int lane, qint64 step) const { return m_lanes[size_t(lane)].values[runAt(lane, step)]; }

qint64 RunRecording::nextChange(int lane, qint64 step) const
{
    const std::vector<uint32_t> &steps = m_lanes[size_t(lane)].steps;
    if (step < 0)
        step = 0;
    const size_t next = step > m_lastStep ? steps.size() : runAt(lane, step) + 1;
    return next < steps.size() ? qint64(steps[next]) : -1;
}

qint64 RunRecording::previousChange(int lane, qint64 step) const
{
    if (step <= 0)
        return -1;
    const size_t run = runAt(lane, step - 1);
    return run > 0 ? qint64(m_lanes[size_t(lane)].steps[run]) : -1;
}

size_t RunRecording::memoryBytes() const
{
    size_t bytes = m_lanes.capacity() * sizeof(Lane) + m_marks.capacity() * sizeof(Mark);
    for (const Lane &lane : m_lanes)
        bytes += lane.steps.capacity() * sizeof(uint32_t) + lane.values.capacity();
    return bytes;
}

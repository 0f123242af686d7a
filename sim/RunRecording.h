#pragma once

#include "model/RunState.h"
#include "model/StepTime.h"
#include "sim/StepObserver.h"

#include <QString>

#include <cstdint>
#include <vector>

// Everything a run showed, kept for drawing and export after it has moved on:
// per signal the steps where its value changed, and the steps where a
// command or a fault was applied. Step 0 holds the state at rest before the
// first step; one step is 0.01 s. Values are kept as runs of equal values, so
// a long run that rarely changes costs little. As an observer of a run it
// begins when the run starts, records each step as it ends and marks the
// restarts.
class RunRecording : public StepObserver
{
public:
    static constexpr double StepSeconds = 1.0 / StepTime::StepsPerSecond;

    enum class LaneKind : uint8_t { Input, Element, Output, Pickup, Release, Fault };

    struct Lane
    {
        QString name;   // as in the model; phase and fault lanes carry their element's name
        LaneKind kind = LaneKind::Input;
        int element = 0; // the model's index of the element or output, 0 for the input
        // Steps where the value became values[k]; starts with step 0.
        std::vector<uint32_t> steps;
        std::vector<uint8_t> values;
    };

    struct Mark
    {
        // Violation: a step where a property of a proof breaks, planned
        // before the run gets there.
        enum class Kind : uint8_t { Command, Fault, Restart, Violation };
        qint64 step = 0;
        Kind kind = Kind::Command;
        QString text;
        // A violation decided over several steps (the codes of a latency's
        // window, a response's held code) marks them too: the first of
        // them; 0 for the step alone.
        qint64 fromStep = 0;
    };

    // Starts a new recording of state's model; its values now are step 0.
    void begin(const RunState &state);
    // Records the values after the next step.
    void record(const RunState &state);
    // Marks the next step as the one where the diagram started again from
    // time 0 while the recording goes on.
    void markRestart();
    // Marks to place when the recording reaches their steps.
    void planMarks(std::vector<Mark> marks);
    // The contact faults in force from the next step on; a fault mark for
    // each contact whose fault changed.
    void recordContactFaults(const std::vector<ContactFault> &faults);
    // The contact faults in force at step.
    const std::vector<ContactFault> &contactFaultsAt(qint64 step) const;

    // StepObserver
    void runStarted(const RunState &state) override { begin(state); }
    void stepEnded(const RunState &state) override { record(state); }
    void restarted() override { markRestart(); }
    void contactFaultsChanged(const std::vector<ContactFault> &faults) override { recordContactFaults(faults); }

    bool isEmpty() const { return m_lastStep == 0; }
    qint64 lastStep() const { return m_lastStep; }
    const QString &modelName() const { return m_modelName; }
    const QString &modelPath() const { return m_modelPath; }
    const std::vector<Lane> &lanes() const { return m_lanes; }
    const std::vector<Mark> &marks() const { return m_marks; }

    // The value of lane at step (clamped to the recorded steps).
    int valueAt(int lane, qint64 step) const;
    // The index in lanes()[lane].steps of the run that holds step.
    size_t runAt(int lane, qint64 step) const;
    // The nearest step after (before) step where lane changed; -1 when none.
    qint64 nextChange(int lane, qint64 step) const;
    qint64 previousChange(int lane, qint64 step) const;

    // Bytes held by the recorded values, for the memory figure.
    size_t memoryBytes() const;

    // The text of a fault mark: the element and what was done to it.
    static QString faultText(const QString &element, Fault fault);

private:
    void addLane(const QString &name, LaneKind kind, int element);
    static int laneValue(const RunState &state, const Lane &lane);

    QString m_modelName;
    QString m_modelPath;
    std::vector<Lane> m_lanes;
    std::vector<Mark> m_marks;
    std::vector<Mark> m_planned; // by step, latest first
    // From which step on each set of contact faults was in force, in step
    // order; none before the first.
    std::vector<std::pair<qint64, std::vector<ContactFault>>> m_contactFaults;
    std::vector<QString> m_contactNames; // by contact number - 1, for the marks
    QString m_lastKey;
    std::vector<Fault> m_lastFault;
    qint64 m_lastStep = 0;
};

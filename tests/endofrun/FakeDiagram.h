#pragma once

#include "report/ReportOutput.h"
#include "sim/DiagramStep.h"
#include "sim/EndOfRun.h"

#include <QStringList>


// The diagram window as the step and the dialogue after a stop see it: a real
// DiagramStep and report output, rows counted instead of drawn, the
// transmitter held at 1.
class FakeDiagram : public CodeInput, public OutputDevices, public EndOfRunHost
{
public:
    explicit FakeDiagram(RunState &state) : m_state(state), m_step(state, *this), m_output(state, *this)
    {
        m_step.addObserver(m_output);
    }

    // One tick: every question answered Yes or OK, the end-of-run dialogue
    // run when the step stops at it.
    void ShowDiag()
    {
        for (StepOutcome outcome = m_step.ShowDiag(); outcome != StepOutcome::Done && outcome != StepOutcome::Idle;
             outcome = m_step.resume()) {
            if (outcome == StepOutcome::EndOfRun) {
                stopsAt << m_step.ModelingItem;
                rowsAtStop << rows;
                EndOfRunDialogue(*this);
            }
        }
    }

    int16_t WhodKod(int16_t) override { return 1; }
    void ScreenRow(const QByteArray &) override { ++rows; }
    void ScreenHeading(const QByteArray &) override { ++headings; }
    void ReportError(const QString &message) override { errors << message; }

    // EndOfRunHost
    RunState &State() override { return m_state; }
    DiagramStep &Step() override { return m_step; }
    ReportOutput &Output() override { return m_output; }
    void CloseWindow() override { ++closed; }
    void ClearWindow() override { ++cleared; }
    void SetTimeChar(const QString &modelPath) override { timeCharPaths << modelPath; }
    void SaveTiming() override { ++saved; }

    QList<int32_t> stopsAt;
    QList<int> rowsAtStop;
    int rows = 0;
    int headings = 0;
    int closed = 0;
    int cleared = 0;
    int saved = 0;
    QStringList timeCharPaths;
    QStringList errors;

private:
    RunState &m_state;
    DiagramStep m_step;
    ReportOutput m_output;
};

#pragma once

#include "model/ModelState.h"
#include "model/RunSignals.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

// One run of a model: a copy of its definition and of the output choice, the
// relay timing and what the report keeps, which the run's set-up and its
// dialogues fill in; and the signals, which only the step writes, besides a
// few named operations between steps. A run owns its state, so runs of one
// model can go on side by side.
struct RunState : ModelDefinition, OutputChoice
{
    QString ModelPath; // without extension
    int16_t ReportHeadDue = FlagFalse;

    QByteArray OemName; // ModelName in code page 866, for the report file
    FixedText<5> ColCell;
    QString InputCaption;

    // Seconds, in single precision: the step decides on that arithmetic.
    std::array<float, MaxElements + 1> Tpr{};
    std::array<float, MaxElements + 1> Totp{};

    int16_t AfterRunChoice = 0;
    int32_t RunLength = 0; // steps of 0.01 s

    const RunSignals &now() const { return m_now; }

    // The fault of element's coil from the next step on; nothing for an
    // element the model does not have.
    void setFault(int element, Fault fault);
    // The command the next step handles: a key typed, a button of the panel.
    void send(const QString &command) { m_now.KeyCmd = command; }
    // Ends the run after the step in progress.
    void end() { m_now.RunActive = FlagFalse; }
    // The run goes on from signals taken from another run of the same model
    // (or posed by hand): the next step starts from them.
    void resumeFrom(const RunSignals &signalValues) { m_now = signalValues; }

    // Brings the run to rest before a run: RunActive and ModelTime 0, and
    // for the full capacity (not only the current counts) every two-column
    // signal, both delay timers, every fault and the input set to 0. The
    // command waiting for the next step stays.
    void bringToRest();

    // The model just loaded becomes the one the run shows: the input
    // column's caption, model time 0, and the report header due.
    void beginRunOfModel();

private:
    friend class DiagramStep;
    RunSignals m_now;
};

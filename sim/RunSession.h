#pragma once

#include "model/LoadedModel.h"
#include "model/RunState.h"
#include "sim/DiagramStep.h"
#include "sim/RunScenario.h"
#include "sim/StepHost.h"
#include "vesk/CodeTransmitter.h"

#include <QString>

#include <expected>
#include <memory>
#include <vector>

class RunSession;

// What a session asks of whoever drives it without windows: where the rows
// go, and the answers a person would give. The defaults are the batch
// answers: every "Продолжать вывод?" is Yes, messages are dropped, the fault
// command changes nothing, and ESC ends the run where the end-of-run
// dialogue would open.
class SessionHost : public OutputDevices
{
public:
    virtual bool ContinueOutput() { return true; }
    virtual void ShowCommandMessage(qint64 step, const QString &message);
    virtual void EditFaults() {}
    virtual void EndOfRun(RunSession &session);

    void ScreenRow(const QByteArray &) override {}
    void ScreenHeading(const QByteArray &) override {}
    void ReportError(const QString &) override {}
};

// Why a set-up failed: a file that cannot be read, or a scenario that does
// not fit the model (a fault on an element it does not have).
struct SetUpError
{
    enum class Kind { File, Scenario };
    Kind kind = Kind::File;
    QString message;
};

// One run of a loaded model, with everything that changes while it runs:
// the signals, timers and faults, the transmitter, the step count, the
// pending command. The model itself is shared and only read, so any number of
// sessions of one model can run at once, each on the thread that owns it.
class RunSession final : private StepHost
{
public:
    RunSession(SharedModel model, SessionHost &host);
    ~RunSession() override;
    RunSession(const RunSession &) = delete;
    RunSession &operator=(const RunSession &) = delete;

    // Brings the run to rest and sets it up as the scenario says: relay
    // timing, transmitter, output devices. The diagram rows go to the host's
    // screen unless screenRows is false; with no report file either, no row
    // is composed at all.
    std::expected<void, SetUpError> setUp(const RunScenario &scenario, bool screenRows = true);
    // Starts a run that has been set up: the report header goes out, and the
    // steps can begin.
    void start();

    // Applies the keys and faults due and makes the next step. False, with
    // nothing done, once the run has ended: all its steps made, or stopped.
    bool step();
    // Steps to the end of the run.
    void run();

    // Ends the run after the step in progress.
    void end();

    qint64 currentStep() const { return m_stepNumber; }
    qint64 lastStep() const { return m_lastStep; }
    const RunState &state() const { return *m_state; }
    const LoadedModel &model() const { return *m_model; }
    DiagramStep &diagram() { return m_step; }
    CodeTransmitter &transmitter() { return m_transmitter; }

private:
    // StepHost: the person's part goes to the session host.
    bool ContinueOutput() override;
    void ShowCommandMessage(const QString &message) override;
    void EditFaults() override;
    int16_t WhodKod(int16_t Nkod) override;
    void EndOfRun() override;
    void ScreenRow(const QByteArray &row) override;
    void ScreenHeading(const QByteArray &heading) override;
    void PrinterRow(const QByteArray &row) override;
    void PrinterHeader(const ReportHeaderContent &header) override;
    void ReportError(const QString &message) override;

    void applyDue();

    SharedModel m_model;
    SessionHost &m_host;
    std::unique_ptr<RunState> m_state;
    DiagramStep m_step;
    CodeTransmitter m_transmitter;
    // The keys and faults of the scenario in step order; for one step they
    // keep their given order.
    std::vector<RunScenario::KeyAt> m_keys;
    std::vector<RunScenario::FaultAt> m_faults;
    size_t m_nextKey = 0;
    size_t m_nextFault = 0;
    qint64 m_stepNumber = 0;
    qint64 m_lastStep = 0;
    int16_t m_code = 0;
};

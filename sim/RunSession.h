#pragma once

#include "model/LoadedModel.h"
#include "model/RunState.h"
#include "sim/DiagramStep.h"
#include "sim/RunScenario.h"
#include "sim/SignalState.h"
#include "sim/StepObserver.h"
#include "vesk/CodeTransmitter.h"

#include <QString>

#include <expected>
#include <memory>
#include <vector>

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
//
// Every run starts the same way: load() the model, give the timing (from a
// scenario, or as a person answers it into state()), then start(). The
// headless runner has setUp() do the middle from a scenario; the diagram
// window asks its questions in between. What the run does goes to the
// observers; the report rows are one of them.
class RunSession final : private CodeInput
{
public:
    // A session with no model yet, for a front end that chooses it first.
    RunSession();
    explicit RunSession(SharedModel model);
    ~RunSession() override;
    RunSession(const RunSession &) = delete;
    RunSession &operator=(const RunSession &) = delete;

    // Brings the run to rest with the model in it: its definition, path and
    // functions, the input's caption, and the report header due. The timing
    // and output choice are left as they are.
    void load(SharedModel model);

    // Loads the model again and sets the run up as the scenario says: relay
    // timing, transmitter, output devices. The diagram rows go to the
    // screen unless screenRows is false; with no report file either, no row
    // is composed at all. (The report file's name is the report observer's.)
    std::expected<void, SetUpError> setUp(const RunScenario &scenario, bool screenRows = true);
    // Starts a run that has been set up with the scenario's code, or with
    // the code given: the report header goes out, and the steps can begin.
    void start();
    void start(int16_t code);

    // The keys and faults to apply before given steps of the run that
    // starts next (as a scenario gives them); setUp() plans its scenario's.
    void plan(std::vector<RunScenario::KeyAt> keys, std::vector<RunScenario::FaultAt> faults);

    // One tick of a timer that drives the run: applies the keys and faults
    // due when a step begins, begins it and returns its outcome; resume()
    // answers its questions.
    StepOutcome tick();
    StepOutcome resume(bool yes = true) { return m_step.resume(yes); }

    // Applies the keys and faults due and makes the next step, answering as
    // a batch would: every "Продолжать вывод?" is Yes, messages only go to
    // the observers, the fault command changes nothing, and ESC ends the run
    // where the end-of-run dialogue would open. False, with nothing done,
    // once the run has ended: all its steps made, or stopped.
    bool step();
    // Steps to the end of the run.
    void run();

    // Goes on from where another session of the same model and timing has
    // got to: its signals, timers, faults in force, transmitter and step
    // count. This session's own keys and faults apply from the next step on,
    // so the two must have had the same ones up to there; its step limit,
    // timing and output choice stay. A fork of a run is cheaper than
    // stepping its prefix again.
    void continueFrom(const RunSession &other);

    // Ends the run after the step in progress.
    void end();

    // What changes a run between its steps besides its plan: the fault of
    // an element's coil (none for an element the model does not have), and
    // the command the next step handles, a key typed or a button of the
    // panel.
    void setFault(int element, Fault fault) { m_state->setFault(element, fault); }
    void send(const QString &command) { m_state->send(command); }

    // The contact faults in force from the next step on (none: the model's
    // own functions).
    void setContactFaults(std::vector<ContactFault> faults);
    // The fault of one contact (ModelContacts numbers it) from the next step
    // on; a kind that is no contact fault (0) makes it work again.
    void setContactFault(int contact, uint8_t kind);
    const std::vector<ContactFault> &contactFaults() const { return m_contactFaults; }

    // What the steps from here on depend on, as a value: equal for two
    // sessions of one model that will make the same signals (from the
    // session's own transmitter).
    SignalState signalState() const;
    // Whether signalState() equals value: the transmitter's cycle first,
    // which a coded input changes at nearly every step.
    bool isInSignalState(const SignalState &value) const
    {
        return m_transmitter.cycle() == value.cycle && signalState() == value;
    }

    // True once every key and fault planned has been applied.
    bool planDone() const { return m_nextKey == m_keys.size() && m_nextFault == m_faults.size(); }

    qint64 currentStep() const { return m_stepNumber; }
    qint64 lastStep() const { return m_lastStep; }
    const RunState &state() const { return *m_state; }
    RunState &state() { return *m_state; }
    const LoadedModel &model() const { return *m_model; }
    DiagramStep &diagram() { return m_step; }
    // The session's own transmitter gives the input unless another one has
    // been given to the step (DiagramStep::setInput).
    CodeTransmitter &transmitter() { return m_transmitter; }

    void addObserver(StepObserver &observer) { m_step.addObserver(observer); }

private:
    int16_t WhodKod(int16_t Nkod) override;
    void applyDue();

    SharedModel m_model;
    std::unique_ptr<RunState> m_state;
    DiagramStep m_step;
    CodeTransmitter m_transmitter;
    // The keys and faults of the scenario in step order; for one step they
    // keep their given order.
    std::vector<RunScenario::KeyAt> m_keys;
    std::vector<RunScenario::FaultAt> m_faults;
    std::vector<ContactFault> m_contactFaults;
    size_t m_nextKey = 0;
    size_t m_nextFault = 0;
    qint64 m_stepNumber = 0;
    qint64 m_lastStep = 0;
    int16_t m_code = 0;
};

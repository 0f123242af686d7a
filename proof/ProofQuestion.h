#pragma once

#include "check/Bench.h"
#include "check/BenchEvaluate.h"
#include "model/LoadedModel.h"
#include "model/TimingFile.h"
#include "sim/RunScenario.h"
#include "vesk/CodeTransmitter.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <expected>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// What a proof asks of a device: which runs are possible (the inputs, the
// faults, the relay times) and what must hold at every step of every one of
// them. Runs start as every run starts, at rest with the
// transmitter at the start of its cycle, and step exactly as a run steps.

// The steps a pending delay may take before it completes, first <= last.
struct DelayBand
{
    int first = 0;
    int last = 0;
    bool operator==(const DelayBand &) const = default;
};

struct ProofQuestion
{
    QString benchFile; // for messages and the counterexample's bench
    SharedModel model;
    TimingValues timing;   // the nominal relay times
    QString timingFile;    // where they were read from; empty for the default ones
    CodeTiming codeTiming; // the transmitter's times
    int kpt = 5;           // 5 or 7, or 0 when the times come from whdFile
    QString whdFile;

    // Input::Codes: before any step the code sent may change to any code of
    // `codes` (the first step's code is a choice too); Input::Free: p is 0
    // or 1 at every step, and there is no transmitter.
    enum class Input : uint8_t { Codes, Free };
    Input input = Input::Codes;
    std::vector<int16_t> codes{0, 1, 2, 3};
    // Steps at least between two changes, the start of the first code
    // counting as one; 0: any step.
    int minChangeSteps = 0;

    // Faults occur before any step and stay: coil breaks and feeds of every
    // element, and with `contacts` every contact welded and open.
    enum class Faults : uint8_t { None, Single, Pairs };
    Faults faults = Faults::None;
    bool contacts = false;

    // Per element 1..ElemCount: pickup [0] and release [1] in steps. Absent:
    // every delay takes its nominal steps. A relay's times are fixed for a
    // run: a band says which fixed times are possible.
    std::optional<std::array<std::array<DelayBand, 2>, MaxElements + 1>> bands;

    // The bench's "никогда" (never true) and "всегда" (always true)
    // expressions, over the signals SignalNames numbers.
    struct Invariant
    {
        SignalExpression expression;
        bool never = true;
        QString text; // as written
        BenchPlace place;
    };
    std::vector<Invariant> invariants;
    std::shared_ptr<const SignalNames> names;

    // The indications' levels; required by the two properties below.
    OutputLevels levels;
    // No wrong-side indication beyond a latency: at every step t the level
    // shown is at most the highest level of the codes sent at steps
    // t - latencySteps .. t (from step 1 on).
    std::optional<int> latencySteps;
    // Bounded response: once one code has been sent for responseSteps steps
    // without change (at steps t - responseSteps + 1 .. t), the level shown
    // at t equals that code's level (with faults: is at most that level).
    std::optional<int> responseSteps;

    // Threads of the explicit search; its answer is the same for any number.
    int jobs = 1;

    // Limits; 0: none.
    qint64 maxStates = 0;
    qint64 memoryBytes = 0;
    double timeSeconds = 0;
};

// One way a run breaks a property, as a run can repeat it.
struct Counterexample
{
    // The code (Input::Codes) or p (Input::Free) at each step 1..steps; the
    // property breaks at the last one.
    std::vector<int16_t> inputs;
    // The faults, each at the step before which it occurs (elements and
    // contacts numbered as in a scenario).
    std::vector<RunScenario::FaultAt> faults;
    // The relay times the run had: the nominal times, with those a band
    // chose in place of them.
    TimingValues timing;

    QString property; // the property broken, as written or named
    BenchPlace place; // where it is written; line 0 for an option
    int shown = -1;     // the level shown at the last step, for the levels' properties
    int warranted = -1; // the level the property allowed there

    qint64 steps() const { return qint64(inputs.size()); }
};

struct ProofProgress
{
    qint64 states = 0; // stored so far
    int depth = 0;     // steps explored completely
};

struct ProofAnswer
{
    enum class Verdict : uint8_t {
        Proved,   // every reachable state explored, nothing breaks
        Refuted,  // counterexample holds a shortest run that breaks a property
        Unknown,  // a limit or a cancel stopped the search; no verdict
    };
    Verdict verdict = Verdict::Unknown;
    // Explicit: the search of Prove, with its states counted; Abc: ABC over
    // the question's circuit, which counts none.
    enum class Engine : uint8_t { Explicit, Abc };
    Engine engine = Engine::Explicit;
    qint64 states = 0;
    int depth = 0;
    double seconds = 0;
    int bytesPerState = 0;
    QString stoppedBy; // for Unknown: which limit, in Russian, or "Отменено"
    // Proved for every value of p at every step, hence for every code
    // sequence: the states counted are the device's alone.
    bool anyInput = false;
    std::optional<Counterexample> counterexample;
};

using ProofProgressSink = std::function<void(const ProofProgress &)>;

// Searches every run the question allows, breadth first, so that the first
// run found to break a property is a shortest one; ties go to the fewest
// code changes, then the fewest faults. Progress is told now and then from
// the calling thread; cancel (may be null) stops the search with Unknown.
// An error is a question the search cannot take (a Russian message).
std::expected<ProofAnswer, QString> Prove(const ProofQuestion &question, const ProofProgressSink &progress = {},
                                          const std::atomic<bool> *cancel = nullptr);

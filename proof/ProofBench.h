#pragma once

#include "check/LoadedBench.h"
#include "proof/ProofQuestion.h"
#include "sim/RunScenario.h"
#include "sim/StepObserver.h"

#include <QString>

#include <expected>
#include <optional>
#include <vector>

// The choices of the command line or the dialog over what a bench says
// about a proof; an absent choice leaves the bench's own (or the default).
struct ProofChoices
{
    std::optional<std::vector<int16_t>> codes;
    std::optional<bool> freeInput;
    std::optional<qint64> minChangeSteps;
    std::optional<ProofQuestion::Faults> faults;
    std::optional<bool> contacts;
    std::optional<double> tolerancePercent; // a band of ± this much around every nominal delay
    std::optional<qint64> latencySteps;
    std::optional<qint64> responseSteps;
    int jobs = 1;
    qint64 maxStates = 0;
    qint64 memoryBytes = 0;
    double timeSeconds = 0;
};

// What the command line and the dialog read into choices; messages begin
// with `what` (the option or the field). Codes: different codes 0..3
// separated by commas or spaces. Tolerance: per cent, 0 <= p < 100, with
// or without "%", a decimal point or comma.
std::expected<std::vector<int16_t>, QString> ParseCodeList(const QString &what, const QString &text);
std::expected<double, QString> ParseTolerance(const QString &what, const QString &text);

// The question the bench asks with the choices over it; a Russian message
// naming the file (line and column where the bench says it) when it cannot
// be asked.
std::expected<ProofQuestion, QString> QuestionFromBench(const LoadedBench &bench, const ProofChoices &choices);

// The run that repeats a counterexample: its first code as the scenario's
// code, the changes as keys, its faults and its relay times.
RunScenario CounterexampleScenario(const ProofQuestion &question, const Counterexample &counterexample);

// Sets one delay (side 0 pickup, 1 release) of element to a time that a
// pending delay takes `steps` steps to complete, as a band chose it.
void SetDelaySteps(TimingValues &timing, int element, int side, int steps);

// The names of the two properties over levels, as the report gives them.
QString LatencyProperty(const ProofQuestion &question);
QString ResponseProperty(const ProofQuestion &question);

// Runs the counterexample's scenario through an ordinary run session, with
// observer (may be null) told of its steps; the signals at every step.
std::expected<SignalTrace, QString> RunCounterexample(const ProofQuestion &question, const Counterexample &counterexample,
                                                      StepObserver *observer = nullptr);

// Runs the counterexample's scenario through an ordinary run session and
// checks that the property breaks at its last step and at no earlier one;
// a Russian message saying what the run did instead.
std::expected<void, QString> ReplayCounterexample(const ProofQuestion &question, const Counterexample &counterexample);

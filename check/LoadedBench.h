#pragma once

#include "check/Bench.h"
#include "check/BenchEvaluate.h"
#include "model/LoadedModel.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <expected>
#include <memory>
#include <optional>

// A bench file read, its model loaded, every signal and fault name resolved
// and every scenario's files read: what many runs of one bench share, with
// changed timing or with faults, on any number of threads.
struct LoadedBench
{
    Bench bench;
    SharedModel model;
    std::shared_ptr<const SignalNames> names;
    QList<RunScenario> runs; // per scenario: its timing read, its faults by element number
    OutputLevels levels;     // of the indications the bench declares
    QStringList warnings;    // what looks wrong in the timing files, each said once
};

// Reads the bench and its model, or modelPath (without ".mod") in place of
// the model the bench names; a Russian message naming the file (and the
// line) when either cannot be used.
std::expected<LoadedBench, QString> LoadBench(const QString &fileName, const QString &modelPath = {});

// The levels the bench declares, by output number of the model; a Russian
// message naming the bench file, line and column of an output the model
// does not have.
std::expected<OutputLevels, QString> ResolveLevels(const Bench &bench, const ModelDefinition &definition);

// Runs scenario `index` of the bench as `run` says (its own run, changed or
// not) and checks its expectations, in the order written.
std::expected<QList<ExpectationResult>, QString> CheckBenchScenario(const LoadedBench &bench, int index,
                                                                    const RunScenario &run);

// The element a bench names: its name as the model spells it, or its
// number; 0 for none.
int BenchElement(const ModelDefinition &definition, const QString &name);

// The signals of a run's state as a bench numbers them (see SignalNames).
uint32_t SignalsOf(const RunState &state);

// The expectation broken first: at the earliest step, the first written
// among equals; none when every one holds.
std::optional<ExpectationResult> FirstFailure(const QList<ExpectationResult> &results);

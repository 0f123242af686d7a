#pragma once

#include "proof/ProofQuestion.h"

#include <QString>

#include <expected>

// A counterexample as a test bench that repeats it: the model and times of
// the question, the first code, the changes as keys, the faults, the length
// of the run and one expectation that the run breaks at its last step.
// Paths are written relative to benchFile's folder. Relay times a band
// chose go to a timing file beside it, named as the bench with ".tim".
QString CounterexampleBenchText(const ProofQuestion &question, const Counterexample &counterexample,
                                const QString &benchFile);

// Writes that bench (and its timing file) to benchFile; a Russian message naming the file when it
// cannot be written.
std::expected<void, QString> WriteCounterexampleBench(const ProofQuestion &question,
                                                      const Counterexample &counterexample, const QString &benchFile);

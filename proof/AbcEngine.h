#pragma once

#include "proof/ProofCircuit.h"
#include "proof/ProofQuestion.h"

#include <QString>

#include <atomic>
#include <expected>
#include <vector>

// The program ABC runs as, looked up on PATH.
inline constexpr char AbcProgram[] = "berkeley-abc";

// Answers a question with ABC over its circuit (ProofCircuit): property
// directed reachability for the verdict, then, when it finds a failure,
// bounded model checking up to that depth for a shortest one. The failure
// becomes a counterexample as the explicit search gives one; the caller
// replays it before reporting it. The figures are ABC's: no states are
// counted, depth is the frames PDR reached or the counterexample's steps.
// An error is a question ABC cannot be asked (no ABC, a circuit that cannot
// be built, an answer that cannot be read), in Russian.
std::expected<ProofAnswer, QString> ProveWithAbc(const ProofQuestion &question, const std::atomic<bool> *cancel = nullptr);

// A run of the circuit as the run it stands for: the circuit's input values
// frame by frame (frame 0 is step 1), up to and including the frame where
// it breaks a property.
Counterexample CounterexampleOfFrames(const ProofQuestion &question, const ProofCircuit &circuit,
                                      const std::vector<std::vector<bool>> &frames);

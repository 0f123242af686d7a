#pragma once

#include "proof/ProofQuestion.h"

#include <QString>

#include <expected>
#include <optional>

// Where and how an ordinary run of a counterexample first breaks the
// question's properties, for the replay's verdict and the bench that repeats
// the run.
struct Breach
{
    enum class Kind : uint8_t { Invariant, Latency, Response };
    Kind kind = Kind::Invariant;
    int invariant = -1; // index into the question's invariants
    qint64 step = 0;
    int shown = -1;     // the levels' properties: the level shown at step
    int warranted = -1; // and the level allowed there
    // The first step the property looked at to decide: the codes sent in
    // the latency's window, the code held for the response; step for an
    // invariant.
    qint64 firstStep = 0;
};

// Runs the counterexample's scenario to its last step and finds the first
// step where a property breaks (the first property in the question's order
// among those breaking there); none when every property holds throughout.
std::expected<std::optional<Breach>, QString> FirstBreach(const ProofQuestion &question,
                                                          const Counterexample &counterexample);

// The property a breach breaks, in Russian, as the report names it.
QString BreachProperty(const ProofQuestion &question, const Breach &breach);

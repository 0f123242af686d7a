#pragma once

#include "proof/Aig.h"
#include "proof/ProofQuestion.h"

#include <QString>

#include <expected>
#include <vector>

// A proof question as one sequential circuit for a model checker: the
// device (DeviceCircuit) with the run's choices as inputs and the
// properties as monitors, and one output "bad" that is 1 at a step of a
// valid run where a property breaks. A run is valid while every step's
// choices are allowed; a latch remembers an invalid step, after which
// nothing is bad.
//
// Inputs, in this order: the input word ("code[0]", "code[1]" or "p"),
// then per fault word "faultW[B]" (the fault that occurs before the step,
// read only while none of that word is in force), then per chosen delay
// "eI:pickup_choice[B]" / "eI:release_choice[B]" (its steps minus the
// band's first, read at step 1 only).
struct ProofCircuit
{
    Aig aig;

    // What a fault word's value k >= 1 stands for: faults[k - 1].
    std::vector<RunScenario::FaultAt> faults; // step 0 here
    int faultWords = 0;
    int faultBits = 0;
    int inputBits = 0; // 2 for a code, 1 for p

    struct DelayChoice
    {
        int element = 0;
        int delay = 0; // 0 pickup, 1 release
        DelayBand band;
        int bits = 0;
    };
    std::vector<DelayChoice> delayChoices;

    // The properties in the order of the observed outputs.
    struct Property
    {
        QString name;
        BenchPlace place;
    };
    std::vector<Property> properties;

    int faultInput(int word) const { return inputBits + word * faultBits; }
    int delayInput(std::size_t choice) const;

    // With observe: after "bad", one output per property (broken at the
    // step, in a valid run), then the element states, the model's outputs
    // and p at the step.
    int elementCount = 0;
    int outputCount = 0;
    int propertyOutput(std::size_t property) const { return 1 + int(property); }
    int elementOutput(int element) const { return 1 + int(properties.size()) + element - 1; }
    int modelOutput(int output) const { return 1 + int(properties.size()) + elementCount + output - 1; }
    int inputOutput() const { return 1 + int(properties.size()) + elementCount + outputCount; }
};

// A Russian message when the question cannot be built (a signal unknown,
// a delay too long, the transmitter too large).
std::expected<ProofCircuit, QString> BuildProofCircuit(const ProofQuestion &question, bool observe = false);

// The circuit as AIGER (ASCII when the file name ends in ".aag", binary
// otherwise) and beside it FILE.map: what every input and latch stands for.
std::expected<void, QString> ExportProofAiger(const ProofQuestion &question, const QString &file);

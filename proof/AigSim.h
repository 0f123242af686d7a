#pragma once

#include "proof/Aig.h"

#include <vector>

// Steps an AIG: the latches start at 0; each step takes one value per input,
// gives the outputs of that step and then loads every latch with its next
// state.
class AigSim
{
public:
    explicit AigSim(const Aig &aig);

    // inputs.size() must equal the graph's input count.
    std::vector<bool> step(const std::vector<bool> &inputs);

private:
    bool value(Aig::Lit lit) const { return m_values[lit >> 1] != (lit & 1); }

    const Aig &m_aig;
    std::vector<bool> m_values; // by variable; [0] the constant 0
};

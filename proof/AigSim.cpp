#include "proof/AigSim.h"

#include <stdexcept>

AigSim::AigSim(const Aig &aig) : m_aig(aig), m_values(aig.maxVariable() + 1, false) {}

std::vector<bool> AigSim::step(const std::vector<bool> &inputs)
{
    if (inputs.size() != m_aig.inputNames().size())
        throw std::invalid_argument("AigSim: one value per input");
    for (std::size_t k = 0; k < inputs.size(); ++k)
        m_values[k + 1] = inputs[k];
    for (const Aig::And &gate : m_aig.ands())
        m_values[gate.lhs >> 1] = value(gate.rhs0) && value(gate.rhs1);
    std::vector<bool> outputs;
    outputs.reserve(m_aig.outputs().size());
    for (const Aig::Output &output : m_aig.outputs())
        outputs.push_back(value(output.lit));
    // All next states first, then all loads: a latch may feed another.
    std::vector<bool> next;
    next.reserve(m_aig.latches().size());
    for (const Aig::Latch &latch : m_aig.latches())
        next.push_back(value(latch.next));
    for (std::size_t k = 0; k < next.size(); ++k)
        m_values[m_aig.latches()[k].lit >> 1] = next[k];
    return outputs;
}

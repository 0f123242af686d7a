#include "proof/TrainSets.h"

TrainSets::TrainSets(const TransmitterMachine &machine)
{
    for (int c = 1; c <= 3; ++c) {
        Code &code = m_codes[size_t(c)];
        code.part = &machine.part(c);
        const int states = code.part->stateCount;
        for (int k = 0; k < states; ++k) {
            Bits bits(size_t((states + 63) / 64), 0);
            bits[size_t(k / 64)] |= uint64_t(1) << (k % 64);
            number(code, std::move(bits));
        }
    }
}

uint32_t TrainSets::number(Code &code, Bits bits)
{
    if (const auto found = code.numbers.find(bits); found != code.numbers.end())
        return found->second;
    const uint32_t n = uint32_t(code.sets.size());
    code.numbers.emplace(bits, n);
    code.sets.push_back(std::move(bits));
    code.steps.resize(code.sets.size() * 2);
    code.stepped.resize(code.sets.size() * 2, false);
    return n;
}

uint32_t TrainSets::everyState(int c)
{
    const std::lock_guard lock(m_mutex);
    Code &code = m_codes[size_t(c)];
    const int states = code.part->stateCount;
    Bits bits(size_t((states + 63) / 64), 0);
    for (int k = 0; k < states; ++k)
        bits[size_t(k / 64)] |= uint64_t(1) << (k % 64);
    return number(code, std::move(bits));
}

TrainSets::Outcomes TrainSets::step(int c, uint32_t set, bool cycleDone)
{
    const std::lock_guard lock(m_mutex);
    return stepLocked(c, set, cycleDone);
}

const TrainSets::Outcomes &TrainSets::stepLocked(int c, uint32_t set, bool cycleDone)
{
    Code &code = m_codes[size_t(c)];
    const size_t at = 2 * size_t(set) + cycleDone;
    if (code.stepped[at])
        return code.steps[at];
    // The next states, by what is sent and the flag after the step.
    std::array<Bits, 4> next;
    next.fill(Bits(code.sets[set].size(), 0));
    std::array<bool, 4> any{};
    for (int k = 0; k < code.part->stateCount; ++k) {
        if (!((code.sets[set][size_t(k / 64)] >> (k % 64)) & 1u))
            continue;
        const TransmitterMachine::Move &move = code.part->move(k, cycleDone);
        const int group = 2 * move.output + move.cycleDone;
        next[size_t(group)][size_t(move.next / 64)] |= uint64_t(1) << (move.next % 64);
        any[size_t(group)] = true;
    }
    Outcomes outcomes;
    for (int group = 0; group < 4; ++group)
        if (any[size_t(group)])
            outcomes.of[size_t(outcomes.count++)] = {group >= 2, (group & 1) != 0, number(code, std::move(next[size_t(group)]))};
    // number() may have grown the tables.
    code.steps[at] = outcomes;
    code.stepped[at] = true;
    return code.steps[at];
}

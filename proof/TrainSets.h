#pragma once

#include "proof/TransmitterMachine.h"

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

// Sets of states of one code's train, each kept once and named by a number:
// where the train may be when the search knows it only in part. The states
// the trains go to from a set split by what the step sends and by the
// shared end-of-cycle flag, so a set never makes a search branch more than
// four ways; it shrinks as the device sees the code. Set k < stateCount is
// the state k alone. The numbers are handed out as sets are met, so the
// threads of one search share one object; it locks itself.
class TrainSets
{
public:
    // What one step of code from a set with one value of the flag can do.
    struct Outcome
    {
        bool output = false;
        bool cycleDone = false;
        uint32_t next = 0;
    };
    struct Outcomes
    {
        std::array<Outcome, 4> of{};
        int count = 0;
    };

    explicit TrainSets(const TransmitterMachine &machine);

    // The set of every state of code's train.
    uint32_t everyState(int code);
    Outcomes step(int code, uint32_t set, bool cycleDone);

private:
    using Bits = std::vector<uint64_t>;
    struct Code
    {
        const TransmitterMachine::Part *part = nullptr;
        std::vector<Bits> sets;
        std::map<Bits, uint32_t> numbers;
        std::vector<Outcomes> steps; // [2 * set + flag]
        std::vector<bool> stepped;
    };

    uint32_t number(Code &code, Bits bits);
    const Outcomes &stepLocked(int code, uint32_t set, bool cycleDone);

    std::array<Code, 4> m_codes;
    std::mutex m_mutex;
};

#pragma once

#include "vesk/CodeTransmitter.h"

#include <ostream>
#include <utility>
#include <vector>

// An output train as runs of equal values: {1, 23}, {0, 57} is 23 steps of
// 1, then 57 steps of 0.
struct OutputRun
{
    int value;
    int steps;
    bool operator==(const OutputRun &) const = default;
};

inline void PrintTo(const OutputRun &r, std::ostream *os) { *os << r.steps << "x" << r.value; }

// Alternating runs starting with 1, the whole pattern `cycles` times.
inline std::vector<OutputRun> repeatedTrain(const std::vector<int> &lengths, int cycles)
{
    std::vector<OutputRun> runs;
    for (int c = 0; c < cycles; ++c)
        for (std::size_t i = 0; i < lengths.size(); ++i)
            runs.push_back({i % 2 == 0 ? 1 : 0, lengths[i]});
    return runs;
}

inline void appendOutput(std::vector<OutputRun> &runs, int value)
{
    if (!runs.empty() && runs.back().value == value)
        ++runs.back().steps;
    else
        runs.push_back({value, 1});
}

// Steps the transmitter through segments of (code, calls) and collects the
// outputs of every call as runs.
inline std::vector<OutputRun> stepRuns(CodeTransmitter &t, const std::vector<std::pair<int16_t, int>> &segments)
{
    std::vector<OutputRun> runs;
    for (const auto &[code, calls] : segments)
        for (int i = 0; i < calls; ++i) {
            t.WhodKod(code);
            appendOutput(runs, t.Wuhod);
        }
    return runs;
}

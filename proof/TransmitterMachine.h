#pragma once

#include "vesk/CodeTransmitter.h"

#include <QString>

#include <array>
#include <expected>
#include <vector>

// The code transmitter of a run as a finite machine. Each code steps only
// the pairs of its own train; the trains meet only in the flag that marks
// the end of a cycle, which all of them share. So the machine is kept as one
// part per code (codes 1 КЖ, 2 Ж, 3 З) plus that flag, which is far smaller
// than the product of the parts. Code 0 changes nothing and sends 0.
class TransmitterMachine
{
public:
    // What one step with a part's code does from one state of the part and
    // one value of the shared flag.
    struct Move
    {
        int next = 0;           // the part's state after the step
        bool cycleDone = false; // the shared flag after the step
        bool output = false;    // what the transmitter sends at that step
    };

    // The reachable states of one part, 0 the state a run starts in.
    struct Part
    {
        int stateCount = 0;
        std::vector<Move> moves; // [2 * state + flag before the step]
        const Move &move(int state, bool cycleDone) const { return moves[std::size_t(2 * state + cycleDone)]; }
    };

    // Explores the transmitter with these times and the step of a run
    // (0.01 s) from its initial state under every code. Fails with a Russian
    // message when a part has more than stateLimit states or a step fails.
    static std::expected<TransmitterMachine, QString> Extract(const CodeTiming &timing, int stateLimit = 1 << 16);

    // The part of code 1, 2 or 3.
    const Part &part(int code) const { return m_parts[std::size_t(code - 1)]; }

private:
    // The elapsed times and flags of one code's pairs, without the shared
    // flag; unused places stay 0.
    struct PartState
    {
        std::array<float, 6> elapsed{};
        std::array<int16_t, 2> done{};
        auto operator<=>(const PartState &) const = default;
    };

    static PartState partOf(const CodeTransmitter &transmitter, int code);
    static void setPart(CodeTransmitter &transmitter, int code, const PartState &state);
    static std::expected<Part, QString> explore(const CodeTransmitter &initial, int code, int stateLimit);

    std::array<Part, 3> m_parts;
};

#include "proof/TransmitterMachine.h"

#include <deque>
#include <map>

namespace {

void setCycleDone(CodeTransmitter &transmitter, bool done)
{
    CodeTransmitter::Cycle cycle = transmitter.cycle();
    cycle.CycleDone = done ? -1 : 0;
    transmitter.setCycle(cycle);
}

bool cycleDone(const CodeTransmitter &transmitter) { return transmitter.cycle().CycleDone != 0; }

} // namespace

TransmitterMachine::PartState TransmitterMachine::partOf(const CodeTransmitter &transmitter, int code)
{
    const CodeTransmitter::Cycle &t = transmitter.cycle();
    switch (code) {
    case 1:
        return {{t.KV.PassImp, t.KV.PassInt}, {}};
    case 2:
        return {{t.V1.PassImp, t.V1.PassInt, t.V2.PassImp, t.V2.PassInt}, {t.DoneV1}};
    default:
        return {{t.Z1.PassImp, t.Z1.PassInt, t.Z2.PassImp, t.Z2.PassInt, t.Z3.PassImp, t.Z3.PassInt},
                {t.DoneZ1, t.DoneZ2}};
    }
}

void TransmitterMachine::setPart(CodeTransmitter &transmitter, int code, const PartState &s)
{
    CodeTransmitter::Cycle t = transmitter.cycle();
    const auto &e = s.elapsed;
    switch (code) {
    case 1:
        t.KV = {e[0], e[1]};
        break;
    case 2:
        t.V1 = {e[0], e[1]};
        t.V2 = {e[2], e[3]};
        t.DoneV1 = s.done[0];
        break;
    default:
        t.Z1 = {e[0], e[1]};
        t.Z2 = {e[2], e[3]};
        t.Z3 = {e[4], e[5]};
        t.DoneZ1 = s.done[0];
        t.DoneZ2 = s.done[1];
        break;
    }
    transmitter.setCycle(t);
}

// Breadth first from the initial state, both values of the shared flag at
// every state: the other codes can set the flag at any step.
std::expected<TransmitterMachine::Part, QString> TransmitterMachine::explore(const CodeTransmitter &initial,
                                                                            int code, int stateLimit)
{
    std::map<PartState, int> numberOf;
    std::vector<PartState> states;
    const auto number = [&](const PartState &state) {
        const auto [at, added] = numberOf.try_emplace(state, int(states.size()));
        if (added)
            states.push_back(state);
        return at->second;
    };
    number(partOf(initial, code));
    Part part;
    for (std::size_t s = 0; s < states.size(); ++s) {
        if (int(states.size()) > stateLimit)
            return std::unexpected(QStringLiteral("Передатчик: у кода %1 больше %2 состояний, автомат не построен")
                                       .arg(code)
                                       .arg(stateLimit));
        for (const bool flag : {false, true}) {
            CodeTransmitter probe = initial;
            setPart(probe, code, states[s]);
            setCycleDone(probe, flag);
            if (probe.WhodKod(int16_t(code)) != CodeTransmitter::Status::Ok)
                return std::unexpected(
                    QStringLiteral("Передатчик: шаг с кодом %1 не вычисляется при этих временах").arg(code));
            const Move move{number(partOf(probe, code)), cycleDone(probe), probe.Wuhod != 0};
            part.moves.push_back(move);
        }
    }
    part.stateCount = int(states.size());
    return part;
}

std::expected<TransmitterMachine, QString> TransmitterMachine::Extract(const CodeTiming &timing, int stateLimit)
{
    CodeTransmitter initial;
    initial.Timing = timing;
    TransmitterMachine machine;
    for (int code = 1; code <= 3; ++code) {
        auto part = explore(initial, code, stateLimit);
        if (!part)
            return std::unexpected(part.error());
        machine.m_parts[std::size_t(code - 1)] = std::move(*part);
    }
    return machine;
}

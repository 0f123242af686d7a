#include "sim/SignalState.h"

#include <QHashFunctions>

size_t qHash(const SignalState &value, size_t seed)
{
    seed = qHashMulti(seed, value.runActive, value.input, value.up, value.pickupPending, value.releasePending,
                      value.broken, value.fed, value.code, value.constInput, value.constValue, value.stopRequested,
                      value.command, value.lastCommand);
    seed = qHashRange(value.pickupTimer.begin(), value.pickupTimer.end(), seed);
    seed = qHashRange(value.releaseTimer.begin(), value.releaseTimer.end(), seed);
    for (const ContactFault &fault : value.contactFaults)
        seed = qHashMulti(seed, fault.contact, fault.kind);
    const CodeTransmitter::Cycle &cycle = value.cycle;
    seed = qHashMulti(seed, cycle.CycleDone, cycle.DoneV1, cycle.DoneZ1, cycle.DoneZ2);
    for (const CodeTransmitter::Cycle::Pair &pair : {cycle.KV, cycle.V1, cycle.V2, cycle.Z1, cycle.Z2, cycle.Z3})
        seed = qHashMulti(seed, pair.PassImp, pair.PassInt);
    return seed;
}

#pragma once

#include <QString>

#include <cstdint>

// The fault of a relay's coil in a run: none, the feeding broken (the
// excitation held at 0) or an extra feeding (held at 1).
enum class Fault : uint8_t { None, Break, Feed };

// The excitation of a coil under fault, given the one its function computed.
constexpr int16_t ForcedExcitation(Fault fault, int16_t excitation)
{
    return fault == Fault::None ? excitation : int16_t(fault == Fault::Feed);
}

// Scenarios, bench files, shards and diagram lanes keep a coil fault as its
// number 0, 1 or 2 (contact faults go on from 3); any other number is no
// coil fault.
constexpr Fault FaultOfKind(int kind)
{
    return kind == 1 ? Fault::Break : kind == 2 ? Fault::Feed : Fault::None;
}

constexpr uint8_t KindOfFault(Fault fault) { return uint8_t(fault); }

// As the fault dialog and the coil menu offer it: «Нормальная работа»,
// «Обрыв питания», «Подпитка».
inline QString FaultName(Fault fault)
{
    switch (fault) {
    case Fault::Break: return QStringLiteral("Обрыв питания");
    case Fault::Feed: return QStringLiteral("Подпитка");
    case Fault::None: break;
    }
    return QStringLiteral("Нормальная работа");
}

#pragma once

#include "vesk/CodeTransmitter.h"

class Vesks;

// The twelve pulse and interval times of the transmitter component, read
// out or set as a whole, so that what one window's transmitter was given can
// drive another run.
CodeTiming TimingOf(const Vesks &vesk);
void SetTiming(Vesks &vesk, const CodeTiming &timing);

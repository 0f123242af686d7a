#pragma once

#include "model/ModelState.h"
#include "model/StepTime.h"

#include <cstdint>

// The pickup and release of one element at one step: the rule every run
// steps by and every proof searches with. A run keeps a pending delay's
// time in seconds as it adds them up (SecondsClock); a proof keeps the
// number of steps it has run (StepClock), which gives the same completions
// when each delay is the number of steps the seconds take (DelaySteps).

struct SecondsClock
{
    using Timer = float;
    using Delay = float;
    static void advance(float &timer) { timer += StepTime::StepSeconds; }
    // Whole hundredths on both sides, never the raw sums.
    static bool reached(float timer, float delay) { return !(StepTime::Hundredths(delay) > StepTime::Hundredths(timer)); }
};

struct StepClock
{
    using Timer = uint16_t;
    using Delay = int; // steps, at least 1
    static void advance(uint16_t &timer) { ++timer; }
    static bool reached(uint16_t timer, int delay) { return timer >= delay; }
};

// One delay (pickup or release): pending[1] has just been set from the
// excitation and the state of the previous step.
template<typename Clock>
void AdvanceDelay(Signal &pending, typename Clock::Timer &timer, typename Clock::Delay delay)
{
    if (pending[1] == 0 && pending[0] == 1)
        timer = 0; // completed or abandoned
    if (pending[0] == 1 && pending[1] == 1) {
        Clock::advance(timer);
        if (Clock::reached(timer, delay)) {
            pending[1] = 0;
            timer = 0;
        }
    }
}

// Both delays of an element and its new state, from its excitation of this
// step and its state of the previous one. An element at rest (its state
// agrees with its excitation and nothing was pending) comes out at rest:
// no pending flag, both timers as they were, the state kept.
template<typename Clock>
int16_t AdvanceElement(int16_t excited, int16_t wasUp, Signal &pickupPending, Signal &releasePending,
                       typename Clock::Timer &pickupTimer, typename Clock::Timer &releaseTimer,
                       typename Clock::Delay pickup, typename Clock::Delay release)
{
    pickupPending[1] = int16_t(excited == 1 && wasUp == 0);
    AdvanceDelay<Clock>(pickupPending, pickupTimer, pickup);

    releasePending[1] = int16_t(wasUp == 1 && excited == 0);
    AdvanceDelay<Clock>(releasePending, releaseTimer, release);

    // Up when excited unless the pickup is pending; down when not excited
    // unless the release is pending.
    return int16_t(excited == 1 ? pickupPending[1] == 0 : releasePending[1] == 1);
}

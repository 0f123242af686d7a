#pragma once

#include "check/Bench.h"

#include <QtGlobal>

#include <cstdint>

// How a fault shows to the driver, judged by the indication levels: a more
// permissive indication than the code warrants is wrong-side (dangerous), a
// more restrictive one than the fault-free device shows is right-side
// (safe, but it stops trains). Ordered from harmless to dangerous.
enum class Safety : uint8_t {
    None,      // no output differs
    Changed,   // outputs differ, the indication stays within its bounds
    RightSide,
    WrongSide,
};

struct SafetyVerdict
{
    Safety safety = Safety::None;
    qint64 step = 0;   // the first step that decided it: above, below, or differing; 0 for none
    int shown = 0;     // at the first wrong-side step: the level shown
    int warranted = 0; // and the one the code and the fault-free device warrant
    // None with an element's state differing from the fault-free run: the
    // element that differed first (the lowest of equals) and the step; 0 else.
    int latentElement = 0;
    qint64 latentStep = 0;

    bool latent() const { return safety == Safety::None && latentElement != 0; }
};

// The level a code warrants: «Нет кода» 0, КЖ 1, Ж 2, З 3; a constant input
// warrants nothing.
int CodeLevel(int code, bool constantInput);

// The level the device shows: the highest of the indications that are up,
// 0 when none is; bit j of outputs for output j.
int ShownLevel(const OutputLevels &levels, unsigned outputs);

// The verdict on one faulty run, fed step by step beside its fault-free run.
class SafetyJudgement
{
public:
    explicit SafetyJudgement(const OutputLevels &levels) : m_levels(&levels) {}

    // Whether add() still needs the element states: only until the first
    // that differs, and only while no output has differed.
    bool wantsElements() const { return m_latentElement == 0 && m_firstDifference == 0; }

    // One step: the level of the code sent at it, the outputs (bit j for
    // output j) and, while wantsElements(), the element states (bit i for
    // element i) of the fault-free and the faulty run.
    void add(qint64 step, int codeLevel, unsigned faultFreeOutputs, unsigned faultyOutputs,
             uint32_t faultFreeElements = 0, uint32_t faultyElements = 0);

    SafetyVerdict verdict() const;

private:
    const OutputLevels *m_levels;
    qint64 m_firstDifference = 0;
    qint64 m_firstBelow = 0;
    qint64 m_firstAbove = 0;
    int m_shown = 0;
    int m_warranted = 0;
    int m_latentElement = 0;
    qint64 m_latentStep = 0;
};

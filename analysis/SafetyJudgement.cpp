#include "analysis/SafetyJudgement.h"

#include <algorithm>
#include <bit>

int CodeLevel(int code, bool constantInput) { return constantInput ? 0 : std::clamp(code, 0, 3); }

int ShownLevel(const OutputLevels &levels, unsigned outputs)
{
    int shown = 0;
    for (unsigned up = outputs; up; up &= up - 1)
        shown = std::max<int>(shown, levels.of[size_t(std::countr_zero(up))]);
    return shown;
}

void SafetyJudgement::add(qint64 step, int codeLevel, unsigned faultFreeOutputs, unsigned faultyOutputs,
                          uint32_t faultFreeElements, uint32_t faultyElements)
{
    if (faultFreeOutputs == faultyOutputs) {
        if (const uint32_t differing = faultFreeElements ^ faultyElements; differing && wantsElements()) {
            m_latentElement = std::countr_zero(differing);
            m_latentStep = step;
        }
        return;
    }
    if (m_firstDifference == 0)
        m_firstDifference = step;
    if (m_firstAbove != 0)
        return;
    const int faultFree = ShownLevel(*m_levels, faultFreeOutputs);
    const int shown = ShownLevel(*m_levels, faultyOutputs);
    // The decoding delay after a change of code is the fault-free device's
    // too: what it shows is warranted whatever the code.
    const int warranted = std::max(codeLevel, faultFree);
    if (shown > warranted) {
        m_firstAbove = step;
        m_shown = shown;
        m_warranted = warranted;
    } else if (shown < faultFree && m_firstBelow == 0) {
        m_firstBelow = step;
    }
}

SafetyVerdict SafetyJudgement::verdict() const
{
    SafetyVerdict verdict;
    if (m_firstAbove != 0) {
        verdict.safety = Safety::WrongSide;
        verdict.step = m_firstAbove;
        verdict.shown = m_shown;
        verdict.warranted = m_warranted;
    } else if (m_firstBelow != 0) {
        verdict.safety = Safety::RightSide;
        verdict.step = m_firstBelow;
    } else if (m_firstDifference != 0) {
        verdict.safety = Safety::Changed;
        verdict.step = m_firstDifference;
    } else {
        verdict.latentElement = m_latentElement;
        verdict.latentStep = m_latentStep;
    }
    return verdict;
}

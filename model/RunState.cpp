#include "model/RunState.h"

#include <utility>

void RunState::setFault(int element, Fault fault)
{
    if (element >= 1 && element <= ElemCount)
        m_now.ElemFault[element] = fault;
}

void RunState::bringToRest()
{
    RunSignals rest;
    rest.KeyCmd = m_now.KeyCmd;
    m_now = std::move(rest);
}

void RunState::beginRunOfModel()
{
    InputCaption = QStringLiteral("Вх.");
    m_now.ModelTime = 0;
    ReportHeadDue = FlagTrue;
}

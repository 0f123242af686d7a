#include "model/RunState.h"

void SetElementFault(RunState &state, int element, Fault fault)
{
    if (element >= 1 && element <= state.ElemCount)
        state.ElemFault[element] = fault;
}

void BringToRest(RunState &state)
{
    state.RunActive = FlagFalse;
    state.ModelTime = 0;
    state.Excit.fill({});
    state.ElemState.fill({});
    state.PickupPending.fill({});
    state.ReleasePending.fill({});
    state.PickupTimer.fill(0);
    state.ReleaseTimer.fill(0);
    state.ElemFault.fill(Fault::None);
    state.OutState.fill({});
    state.InputVal = {};
}

void BeginRunOfModel(RunState &state)
{
    state.InputCaption = QStringLiteral("Вх.");
    state.ModelTime = 0;
    state.ReportHeadDue = FlagTrue;
}

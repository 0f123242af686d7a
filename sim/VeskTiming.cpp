#include "sim/VeskTiming.h"

#include "vesk/Vesks.h"

CodeTiming TimingOf(const Vesks &vesk)
{
    return CodeTiming::fromValues({vesk.TimpKV(), vesk.TintKV(), vesk.TimpV1(), vesk.TintV1(), vesk.TimpV2(),
                                   vesk.TintV2(), vesk.TimpZ1(), vesk.TintZ1(), vesk.TimpZ2(), vesk.TintZ2(),
                                   vesk.TimpZ3(), vesk.TintZ3()});
}

void SetTiming(Vesks &vesk, const CodeTiming &timing)
{
    vesk.setTimpKV(timing.TimpKV);
    vesk.setTintKV(timing.TintKV);
    vesk.setTimpV1(timing.TimpV1);
    vesk.setTintV1(timing.TintV1);
    vesk.setTimpV2(timing.TimpV2);
    vesk.setTintV2(timing.TintV2);
    vesk.setTimpZ1(timing.TimpZ1);
    vesk.setTintZ1(timing.TintZ1);
    vesk.setTimpZ2(timing.TimpZ2);
    vesk.setTintZ2(timing.TintZ2);
    vesk.setTimpZ3(timing.TimpZ3);
    vesk.setTintZ3(timing.TintZ3);
}

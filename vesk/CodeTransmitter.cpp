#include "vesk/CodeTransmitter.h"

#include <cfloat>
#include <cmath>

CodeTiming CodeTiming::Kpt5()
{
    return fromValues({0.23f, 0.57f, 0.38f, 0.12f, 0.38f, 0.72f, 0.35f, 0.12f, 0.22f, 0.12f, 0.22f, 0.57f});
}

CodeTiming CodeTiming::Kpt7()
{
    return fromValues({0.30f, 0.65f, 0.35f, 0.17f, 0.52f, 0.81f, 0.35f, 0.12f, 0.25f, 0.12f, 0.25f, 0.81f});
}

std::array<float, 12> CodeTiming::values() const
{
    return {TimpKV, TintKV, TimpV1, TintV1, TimpV2, TintV2, TimpZ1, TintZ1, TimpZ2, TintZ2, TimpZ3, TintZ3};
}

CodeTiming CodeTiming::fromValues(const std::array<float, 12> &v)
{
    CodeTiming t;
    t.TimpKV = v[0], t.TintKV = v[1];
    t.TimpV1 = v[2], t.TintV1 = v[3], t.TimpV2 = v[4], t.TintV2 = v[5];
    t.TimpZ1 = v[6], t.TintZ1 = v[7], t.TimpZ2 = v[8], t.TintZ2 = v[9], t.TimpZ3 = v[10], t.TintZ3 = v[11];
    return t;
}

bool CodeTiming::productIsZero() const
{
    // Multiplied in double and only then rounded to single, so that twelve
    // tiny times count as zero exactly when their product does.
    double product = 1.0;
    for (float v : values())
        product *= v;
    if (!std::isfinite(product) || std::fabs(product) > FLT_MAX)
        return false;
    return static_cast<float>(product) == 0.0f;
}

namespace {

// Nearest integer, halves to the even neighbour.
double roundHalfEven(double x)
{
    const double below = std::floor(x);
    const double fraction = x - below;
    if (fraction > 0.5)
        return below + 1;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

} // namespace

CodeTransmitter::CodeTransmitter() { Set5(); }

CodeTransmitter::Status CodeTransmitter::setStep(float seconds)
{
    StepTime = seconds;
    if (seconds == 0.0f)
        return Status::DivisionByZero;
    const float reciprocal = 1.0f / seconds;
    if (!std::isfinite(reciprocal))
        return Status::Overflow;
    const double rounded = roundHalfEven(reciprocal);
    if (rounded < INT16_MIN || rounded > INT16_MAX)
        return Status::Overflow;
    StepsPerSec = static_cast<int16_t>(rounded);
    return Status::Ok;
}

float CodeTransmitter::step() const { return StepTime; }

void CodeTransmitter::Set5()
{
    setStep(0.01f);
    Timing = CodeTiming::Kpt5();
}

void CodeTransmitter::Set7()
{
    setStep(0.01f);
    Timing = CodeTiming::Kpt7();
}

// Adds one step to an elapsed time and snaps it to the step grid, so that
// elapsed times stay whole multiples of the step and never drift. False,
// with the time untouched, when the arithmetic leaves the single range (a
// step of two seconds or more has zero steps per second).
bool CodeTransmitter::snapAdd(float &elapsed) const
{
    const float scaled = static_cast<float>(StepsPerSec) * (elapsed + StepTime);
    if (!std::isfinite(scaled))
        return false;
    const double snapped = std::floor(static_cast<double>(scaled) + 0.5) / StepsPerSec;
    if (!std::isfinite(snapped) || std::fabs(snapped) > FLT_MAX)
        return false;
    elapsed = static_cast<float>(snapped);
    return true;
}

// Advances one pulse/interval pair by one step. A pair that ends hands over
// at once: the step that ended it is the first step of the next pulse, or of
// the next interval when the pulse is shorter than a step. A pair whose pulse
// and interval are both shorter than a step would hand over to itself for
// ever; it ends a second time within one step only in that case, and then
// stops with the output 0.
CodeTransmitter::PairEnd CodeTransmitter::StepPair(Cycle::Pair &pair, float Timp, float Tint, int16_t &Done)
{
    if (!std::isfinite(Timp) || !std::isfinite(Tint))
        return PairEnd::FloatError;
    if (!snapAdd(pair.PassImp))
        return PairEnd::FloatError;
    if (pair.PassImp <= Timp) {
        Wuhod = 1;
        return PairEnd::Running;
    }
    for (int ends = 0;; ++ends) {
        if (pair.PassInt <= Tint) {
            if (!snapAdd(pair.PassInt))
                return PairEnd::FloatError;
            Wuhod = 0;
        }
        if (pair.PassInt <= Tint)
            return PairEnd::Running;
        pair.PassImp = 0;
        pair.PassInt = 0;
        Done = -1;
        if (!snapAdd(pair.PassImp))
            return PairEnd::FloatError;
        if (ends == 1) {
            Wuhod = 0;
            return PairEnd::Running;
        }
        if (pair.PassImp <= Timp) {
            Wuhod = 1;
            return PairEnd::Running;
        }
    }
}

CodeTransmitter::Status CodeTransmitter::WhodKod(int16_t Nkod)
{
    const CodeTiming &t = Timing;
    Cycle &c = m_cycle;
    auto run = [this](Cycle::Pair &pair, float Timp, float Tint, int16_t &Done) {
        return StepPair(pair, Timp, Tint, Done) == PairEnd::Running;
    };
    switch (Nkod) {
    case 0:
        Wuhod = 0;
        return Status::Ok;
    case 1:
        return run(c.KV, t.TimpKV, t.TintKV, c.CycleDone) ? Status::Ok : Status::FloatError;
    case 2:
        if (!c.DoneV1 && !run(c.V1, t.TimpV1, t.TintV1, c.DoneV1))
            return Status::FloatError;
        if (c.DoneV1) {
            if (!run(c.V2, t.TimpV2, t.TintV2, c.CycleDone))
                return Status::FloatError;
            if (c.CycleDone) {
                // The first pulse of the next cycle already has the step it
                // was given when the first pair ended: its elapsed time stays.
                c.V1.PassInt = 0;
                c.V2 = {};
                c.DoneV1 = c.CycleDone = 0;
            }
        }
        return Status::Ok;
    case 3:
        if (!c.DoneZ1 && !run(c.Z1, t.TimpZ1, t.TintZ1, c.DoneZ1))
            return Status::FloatError;
        if (!c.DoneZ2 && c.DoneZ1 && !run(c.Z2, t.TimpZ2, t.TintZ2, c.DoneZ2))
            return Status::FloatError;
        if (c.DoneZ2) {
            if (!run(c.Z3, t.TimpZ3, t.TintZ3, c.CycleDone))
                return Status::FloatError;
            if (c.CycleDone) {
                c.Z1.PassInt = 0;
                c.Z2 = {};
                c.Z3 = {};
                c.DoneZ1 = c.DoneZ2 = c.CycleDone = 0;
            }
        }
        return Status::Ok;
    default:
        return Status::BadCode;
    }
}

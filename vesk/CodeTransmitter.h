#pragma once

#include <array>
#include <cstdint>

// The twelve pulse and interval times of the three codes, in seconds, in the
// order they are stored and written to files.
struct CodeTiming
{
    float TimpKV = 0, TintKV = 0;
    float TimpV1 = 0, TintV1 = 0, TimpV2 = 0, TintV2 = 0;
    float TimpZ1 = 0, TintZ1 = 0, TimpZ2 = 0, TintZ2 = 0, TimpZ3 = 0, TintZ3 = 0;

    static CodeTiming Kpt5();
    static CodeTiming Kpt7();

    std::array<float, 12> values() const;
    static CodeTiming fromValues(const std::array<float, 12> &v);

    // True when the product of the twelve times, in single precision, is 0:
    // a zero time, or times so small that the product underflows.
    bool productIsZero() const;

    bool operator==(const CodeTiming &) const = default;
};

// The pulse-train algorithm of a code track transmitter, stepped once per
// modelling step. No windows, no files: the component class Vesks wraps it.
class CodeTransmitter
{
public:
    enum class Status { Ok, BadCode, DivisionByZero, Overflow, FloatError };

    CodeTransmitter(); // КПТШ-5 timing, step 0.01 s, zero cycle state

    CodeTiming Timing;
    int16_t Wuhod = 0; // output of the last step, 0 or 1

    // The modelling step in seconds. 0 fails with DivisionByZero and a
    // reciprocal outside 16 bits with Overflow; either way the step already
    // holds the new value and the steps per second keep the old one.
    Status setStep(float seconds);
    float step() const;
    int16_t stepsPerSec() const { return StepsPerSec; }

    void Set5(); // step 0.01 s and the КПТШ-5 times; the cycle state stays
    void Set7(); // step 0.01 s and the КПТШ-7 times; the cycle state stays

    // One modelling step with code Nkod (0 none, 1 КЖ, 2 Ж, 3 З); the output
    // is left in Wuhod. Any other code returns BadCode and changes nothing.
    // Times or a step that make the arithmetic overflow return FloatError;
    // the step ends where the overflow happened.
    Status WhodKod(int16_t Nkod);

    // What the transmitter keeps from step to step besides its times and
    // step: the elapsed pulse and interval time of every code's pairs and
    // their flags (0 false, -1 true). CycleDone is shared by the three codes:
    // it marks that the last pair of a cycle has ended. A value, so that a
    // run's transmitter can be saved, restored and told apart.
    struct Cycle
    {
        struct Pair
        {
            float PassImp = 0;
            float PassInt = 0;
            auto operator<=>(const Pair &) const = default;
        };
        int16_t CycleDone = 0, DoneV1 = 0, DoneZ1 = 0, DoneZ2 = 0;
        Pair KV, V1, V2, Z1, Z2, Z3;
        auto operator<=>(const Cycle &) const = default;
    };
    const Cycle &cycle() const { return m_cycle; }
    void setCycle(const Cycle &cycle) { m_cycle = cycle; }

private:
    enum class PairEnd { Running, Degenerate, FloatError };

    PairEnd StepPair(Cycle::Pair &pair, float Timp, float Tint, int16_t &Done);
    bool snapAdd(float &elapsed) const;

    float StepTime = 0.01f;
    int16_t StepsPerSec = 100;
    Cycle m_cycle;
};

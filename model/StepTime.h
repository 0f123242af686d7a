#pragma once

#include <cmath>
#include <cstdint>

// The modelling step and the arithmetic of its delays, in one place for the
// run, the recording and the proofs that must count steps exactly as a run
// does.
namespace StepTime {

inline constexpr int StepsPerSecond = 100;
// The step as the run adds it up, in single precision.
inline constexpr float StepSeconds = 0.01f;

// A time in whole hundredths of a second, H(t) = floor(100 t + 0.5), taken
// in double from the single value. Delays compare H of both sides, never the
// raw sums, so 0.05 after five single-precision additions still counts as 5.
inline double Hundredths(float seconds)
{
    const double x = 100.0 * double(seconds) + 0.5;
    // floor() without a library call on the hot path; beyond 2^52 every
    // double is whole already (and infinities and NaN pass through).
    if (!(std::fabs(x) < 4503599627370496.0))
        return x;
    const double truncated = double(int64_t(x));
    return truncated > x ? truncated - 1 : truncated;
}

} // namespace StepTime

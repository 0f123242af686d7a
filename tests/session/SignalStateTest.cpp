#include "model/ContactFault.h"
#include "sim/RunSession.h"
#include "tests/support/RandomDevice.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr int Steps = 300;

// Code keys and a return to the transmitter at random steps, a coil fault
// and a contact fault from random steps.
RunScenario randomScenario(std::mt19937 &random, const SharedModel &model, int elements)
{
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const QString keys[] = {QStringLiteral("!"), QStringLiteral("@"), QStringLiteral("#"), QStringLiteral(")"),
                            QStringLiteral("1"), QStringLiteral("a")};
    RunScenario scenario;
    scenario.timing = randomTiming(random, elements, Steps);
    scenario.kpt = pick(0, 1) ? 7 : 5;
    scenario.code = int16_t(pick(0, 3));
    for (int k = pick(0, 6); k > 0; --k)
        scenario.keys.append({pick(1, Steps), keys[pick(0, 5)]});
    scenario.faults.append({pick(1, Steps), pick(1, elements), uint8_t(pick(1, 2))});
    if (const int contacts = model->functions->contactCount(); contacts > 0)
        scenario.faults.append({pick(1, Steps), 0, uint8_t(pick(ContactWelded, ContactOpen)), pick(1, contacts)});
    return scenario;
}

uint32_t elementStates(const RunState &state)
{
    uint32_t bits = 0;
    for (int i = 1; i <= state.ElemCount; ++i)
        bits |= uint32_t(state.now().ElemState[i][1] != 0) << i;
    return bits;
}

} // namespace

// A run forked at a random step (the copy campaigns make) and a separate
// run of the same scenario are in equal signal states, with equal hashes,
// at every step after the fork. A run that differs from them only by a coil
// fault for three steps after the fork has another value whenever its
// relays differ while the same faults are in force.
TEST(SignalState, CopiesOfARunStayEqualAndARunThatDiffersHasAnotherValue)
{
    QTemporaryDir dir;
    std::mt19937 random(20261209);
    int differing = 0;
    for (int m = 0; m < 16; ++m) {
        SharedModel model;
        int elements = 0;
        ASSERT_NO_FATAL_FAILURE(loadRandomModel(dir, random, m, model, elements));
        const RunScenario scenario = randomScenario(random, model, elements);
        const qint64 fork = std::uniform_int_distribution<qint64>(1, Steps - 1)(random);
        RunScenario faulty = scenario;
        faulty.faults.append({fork + 1, 1, uint8_t(1 + m % 2)});
        faulty.faults.append({fork + 4, 1, 0});

        RunSession run(model), separate(model), copy(model), other(model);
        for (RunSession *session : {&run, &separate, &copy})
            ASSERT_TRUE(session->setUp(scenario, false).has_value());
        ASSERT_TRUE(other.setUp(faulty, false).has_value());
        for (RunSession *session : {&run, &separate, &copy, &other})
            session->start();
        for (qint64 step = 1; step <= fork; ++step)
            ASSERT_TRUE(run.step() && separate.step());
        copy.continueFrom(run);
        other.continueFrom(run);

        for (qint64 step = fork + 1; run.step(); ++step) {
            ASSERT_TRUE(separate.step() && copy.step() && other.step());
            const SignalState value = run.signalState();
            ASSERT_EQ(value, separate.signalState()) << "model " << m << " step " << step;
            ASSERT_EQ(value, copy.signalState()) << "model " << m << " step " << step;
            ASSERT_EQ(qHash(value), qHash(copy.signalState()));
            ASSERT_TRUE(run.isInSignalState(copy.signalState()));
            const SignalState otherValue = other.signalState();
            if (elementStates(other.state()) != elementStates(run.state()) && otherValue.broken == value.broken
                && otherValue.fed == value.fed) {
                ASSERT_NE(otherValue, value) << "model " << m << " step " << step;
                ASSERT_FALSE(run.isInSignalState(otherValue));
                ++differing;
            }
        }
    }
    EXPECT_GT(differing, 20) << differing; // the extra faults do move relays beyond their steps
}

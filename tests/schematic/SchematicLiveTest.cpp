#include "model/LoadedModel.h"
#include "model/ModelFile.h"
#include "schematic/Schematic.h"
#include "schematic/SchematicState.h"
#include "sim/RunRecording.h"
#include "sim/RunSession.h"
#include "tests/support/ExampleRun.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace {

using namespace schematic;

// The decoder under code 1 (КЖ): ЖЗ never picks up, and ЛКЖ=КЖ*-ЖЗ lights
// at step 75, when the slow pickup of КЖ=Б*-ЖЗ (0.70 s) completes; one step
// before, КЖ is fed and its pickup is running.
TEST(SchematicLive, ShowsTheDecoderAtTheStepItsLampLights)
{
    RunScenario scenario;
    scenario.code = 1;
    scenario.steps = 75;
    RunRecording recording;
    LiveState lit;
    RunExample(QStringLiteral("decoder"), scenario, [&](qint64 step, const RunState &state) {
        if (step == 0)
            recording.begin(state);
        else
            recording.record(state);
        lit = LiveState::of(state);
    });
    const auto definition = ReadModelFile(QStringLiteral(EXAMPLES_DIR "/decoder"));
    ASSERT_TRUE(definition);

    const Schematic schematic = BuildSchematic(*definition);
    constexpr int Kzh = 6, Zhz = 5; // elements КЖ and ЖЗ
    const Rung &kzhRung = *schematic.elementRung(Kzh);
    const Rung &lampRung = *schematic.outputRung(1); // ЛКЖ
    const Rung &permissiveRung = *schematic.outputRung(2); // ЛЖЗ

    const LiveState before = LiveState::at(recording, 74);
    EXPECT_FALSE(before.up[Kzh]);
    EXPECT_TRUE(before.pickupRunning[Kzh]);
    EXPECT_TRUE(before.energised(kzhRung));
    EXPECT_FALSE(before.conducts(lampRung.branches[0]));
    EXPECT_FALSE(before.lit[1]);

    EXPECT_TRUE(lit.up[Kzh]);
    EXPECT_FALSE(lit.pickupRunning[Kzh]);
    EXPECT_FALSE(lit.up[Zhz]);
    // Both contacts of ЛКЖ's branch are closed: КЖ front, ЖЗ back.
    EXPECT_TRUE(lit.closed(lampRung.branches[0].items[0]));
    EXPECT_TRUE(lit.closed(lampRung.branches[0].items[1]));
    EXPECT_TRUE(lit.energised(lampRung));
    EXPECT_FALSE(lit.energised(permissiveRung));
    EXPECT_TRUE(lit.lit[1]);
    EXPECT_FALSE(lit.lit[2]);

    // The recording at the last step says what the run state says.
    const LiveState recorded = LiveState::at(recording, 75);
    EXPECT_EQ(recorded.up, lit.up);
    EXPECT_EQ(recorded.lit, lit.lit);
    EXPECT_EQ(recorded.pickupRunning, lit.pickupRunning);

    // A break forced on КЖ's feed opens its coil whatever the circuit says.
    LiveState broken = lit;
    broken.fault[Kzh] = Fault::Break;
    EXPECT_FALSE(broken.energised(kzhRung));
}

// A contact fault of a run goes into its recording, so that «Схема» at
// cursor A shows it: under code 1 the front contact of ЖЗ in ЛЖЗ=ЖЗ*Б welded
// from step 3 leaves ЛЖЗ=Б, lit at step 4 when Б picks up (И at 2, Б at 4).
TEST(SchematicLive, ShowsAContactFaultAtTheStepsItWasInForce)
{
    const auto model = LoadSharedModel(QStringLiteral(EXAMPLES_DIR "/decoder"));
    ASSERT_TRUE(model);
    RunSession session(*model);
    RunRecording recording;
    session.addObserver(recording);
    RunScenario scenario;
    scenario.code = 1;
    scenario.steps = 4;
    scenario.timingFile = QStringLiteral(EXAMPLES_DIR "/decoder.tim");
    scenario.namedFaults.append({3, QStringLiteral("ЛЖЗ/1/ЖЗ"), uint8_t(ContactWelded), true});
    ASSERT_TRUE(session.setUp(scenario, false));
    session.start();
    session.run();

    const Schematic schematic = BuildSchematic((*model)->definition);
    const Item &welded = schematic.outputRung(2)->branches[0].items[0]; // ЖЗ in ЛЖЗ
    EXPECT_FALSE(LiveState::at(recording, 2).closed(welded));
    EXPECT_TRUE(LiveState::at(recording, 3).closed(welded));
    EXPECT_FALSE(LiveState::at(recording, 3).lit[2]);
    EXPECT_TRUE(LiveState::at(recording, 4).lit[2]);
    const auto mark = std::ranges::find(recording.marks(), RunRecording::Mark::Kind::Fault, &RunRecording::Mark::kind);
    ASSERT_NE(mark, recording.marks().end());
    EXPECT_EQ(mark->step, 3);
    EXPECT_EQ(mark->text, QStringLiteral("контакт ЖЗ в функции ЛЖЗ, терм 1: не размыкается"));
}

} // namespace

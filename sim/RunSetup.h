#pragma once

#include "model/LoadedModel.h"
#include "model/TimingFile.h"
#include "sim/RunRecording.h"
#include "sim/RunScenario.h"
#include "vesk/CodeTransmitter.h"

#include <QString>

#include <cstdint>
#include <vector>

struct ModelState;
class RunWindowHost;

// Starts a run in the host window, in the fixed order: lock the host, open
// the diagram window (whose run starts at rest), choose a model when none is
// current, load it, ask the timing characteristics, open the control panel,
// ask the input code, write the report header and start the timer. Giving
// up, or a model that cannot be loaded, closes the diagram window again,
// which unlocks the host. The run commands set ChangeMode before calling it.
void RunSetup(RunWindowHost &host, ModelState &state);

// True while a run has its diagram window open: one run at a time.
bool RunOpen(const RunWindowHost &host);

// The scenario a fault analysis varies: a timing-diagram run with its
// answers given, on the model as it was read.
struct FaultRun
{
    SharedModel model; // as read when the faults were found
    TimingValues timing;
    CodeTiming codeTiming;
    int16_t code = 0;
};

// A timing-diagram run decided beforehand step by step, as a proof's
// counterexample is: keys and faults before given steps (a fault at step 0
// is in force from the start), and marks for «Графики» to show at theirs.
struct PlannedRun
{
    SharedModel model;
    TimingValues timing; // its run length is where the diagram asks to go on
    CodeTiming codeTiming;
    int16_t code = 0;
    std::vector<RunScenario::KeyAt> keys;
    std::vector<RunScenario::FaultAt> faults;
    std::vector<RunRecording::Mark> marks;
};

// The same start as RunSetup with the answers already given: no question
// is asked, and the model is the one given, not read again.
void RunPlanned(RunWindowHost &host, ModelState &state, PlannedRun run);

#pragma once

struct ModelState;
class RunWindowHost;

// Starts a run in the host window, in the fixed order: lock the host, open the diagram window, bring the state to rest, choose a model
// when none is current, load it, ask the timing characteristics, open the
// control panel, ask the input code, write the report header and start the
// timer. Giving up, or a model that cannot be loaded, closes the diagram
// window again, which unlocks the host. The run commands set
// ChangeMode before calling it.
void RunSetup(RunWindowHost &host, ModelState &state);

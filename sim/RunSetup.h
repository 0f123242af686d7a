#pragma once

struct ModelState;
class frmMenu;

// Starts a run from the main window, in the fixed order: lock the main
// window, open the diagram window, bring the state to rest, choose a model
// when none is current, load it, ask the timing characteristics, open the
// control panel, ask the input code, write the report header and start the
// timer. Giving up, or a model that cannot be loaded, closes the diagram
// window again, which unlocks the main window. The run commands set
// ChangeMode before calling it.
void RunSetup(frmMenu &menu, ModelState &state);

#pragma once

struct ModelState;
class RunWindowHost;

// "Анализ неисправностей": asks for the model when none is current, then the
// transmitter and element timing and the code as a run does, and opens the
// window of the single-fault campaign of that scenario. Giving up at any
// question opens nothing.
void AnalyseFaults(RunWindowHost &host, ModelState &state);

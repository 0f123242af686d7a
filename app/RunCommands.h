#pragma once

struct ModelState;
class RunWindowHost;

// Where the main window's run and report commands hand over. The program
// hands them to its run and report windows; a main window made without any
// ends those commands after their own part (the run mode, the picture).
class RunCommands
{
public:
    // The run commands set ChangeMode before they hand over.
    virtual void startRun(RunWindowHost &host, ModelState &state) = 0;
    virtual void showReport(RunWindowHost &host, ModelState &state) = 0;
    // "Анализ неисправностей": the single-fault campaign of a scenario.
    virtual void analyseFaults(RunWindowHost &host, ModelState &state) = 0;
    // «Доказательство свойств»: every run of the bench beside the model.
    virtual void proveProperties(RunWindowHost &host, ModelState &state) = 0;
    // «Схема»: the model drawn as relay-contact circuits.
    virtual void showSchematic(RunWindowHost &host, ModelState &state) = 0;

protected:
    ~RunCommands() = default;
};

// The run set-up in a diagram window, the report shown in the editor, the
// fault analysis window, the proof window and the schematic window.
RunCommands &programRunCommands();

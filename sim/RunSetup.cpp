#include "RunSetup.h"

#include "AskTiming.h"
#include "FileChoice.h"
#include "ModelFile.h"
#include "Prompts.h"
#include "RunState.h"
#include "VeskTiming.h"
#include "frmDiag.h"
#include "frmKod.h"
#include "frmMenu.h"

#include <QLabel>

#include <functional>

namespace {

// Loads the model of state.ModelPath for the run the window shows; false,
// after the message, when it cannot be read.
bool LoadForRun(frmMenu &menu, ModelState &state, frmDiag &diag)
{
    QString error;
    if (!LoadModel(state, state.ModelPath, &error)) {
        MessageRequest failure;
        failure.text = error;
        failure.icon = Prompt::Icon::Critical;
        prompts().message(failure);
        return false;
    }
    menu.setWindowTitle(QStringLiteral("Модель - ") + state.ModelName);
    BeginRunOfModel(state);
    diag.Label1->setText(QStringLiteral(" Моделируемое устройство: ") + state.ModelName);
    return true;
}

void StartRun(frmDiag &diag, int16_t code)
{
    diag.TakeFocus();
    diag.Step().CompileModel();
    diag.Step().Start(code);
    diag.InitModel();
}

// The run set-up proper; false when it was abandoned. The window may also be
// closed under it from a dialogue's event loop (the main window closing):
// every step after a dialogue checks for that.
bool SetUp(frmMenu &menu, ModelState &state, frmDiag &diag)
{
    diag.Label1->setText(QStringLiteral("Модель: "));
    BringToRest(state);

    if (state.ModelPath.isEmpty()) {
        bool cancelled = false;
        ChooseFile(state, menu.CDL1, QStringLiteral("mod"), cancelled);
        if (cancelled || diag.Unloaded())
            return false;
    }
    if (!LoadForRun(menu, state, diag))
        return false;

    bool cancelled = false;
    TimingEntryContext timing{state, menu.CDL1, [&diag](const QString &path) { diag.SetTimeChar(path); }, &menu};
    AskTiming(timing, cancelled);
    if (cancelled || diag.Unloaded())
        return false;

    diag.ShowModtype();
    frmKod kod(&menu);
    prompts().exec(kod);
    if (diag.Unloaded())
        return false;

    StartRun(diag, kod.ChosenCode());
    return true;
}

bool SetUpFaultRun(frmMenu &menu, ModelState &state, frmDiag &diag, const FaultRun &run)
{
    BringToRest(state);
    state.ModelPath = run.modelPath;
    if (!LoadForRun(menu, state, diag))
        return false;
    ApplyTiming(state, run.timing);
    SetTiming(diag.Vesk(), run.codeTiming);
    state.ElemFault[run.element] = run.kind;
    diag.ShowModtype();
    StartRun(diag, run.code);
    return true;
}

// Locks the main window and opens the diagram window for the set-up; a
// set-up that fails closes the window again.
void RunInNewWindow(frmMenu &menu, ModelState &state, const std::function<bool(frmDiag &)> &setUp)
{
    menu.setRunLocked(true);
    frmDiag *diag = frmDiag::Load(menu, state);
    const frmDiag::Busy busy(*diag);
    if (!setUp(*diag) && !diag->Unloaded())
        diag->Frame().close();
}

} // namespace

void RunSetup(frmMenu &menu, ModelState &state)
{
    RunInNewWindow(menu, state, [&](frmDiag &diag) { return SetUp(menu, state, diag); });
}

void RunWithFault(frmMenu &menu, ModelState &state, const FaultRun &run)
{
    state.ChangeMode = FlagFalse;
    RunInNewWindow(menu, state, [&](frmDiag &diag) { return SetUpFaultRun(menu, state, diag, run); });
}

#include "RunSetup.h"

#include "AskTiming.h"
#include "FileChoice.h"
#include "ModelFile.h"
#include "Prompts.h"
#include "RunState.h"
#include "RunWindowHost.h"
#include "frmDiag.h"
#include "frmKod.h"

#include <QLabel>

namespace {

// The run set-up proper; false when it was abandoned. The window may also be
// closed under it from a dialogue's event loop (the main window closing):
// every step after a dialogue checks for that.
bool SetUp(RunWindowHost &host, ModelState &state, frmDiag &diag)
{
    diag.modelCaption->setText(QStringLiteral("Модель: "));
    BringToRest(state);

    if (state.ModelPath.isEmpty()) {
        bool cancelled = false;
        ChooseFile(state, host.fileDialog(), QStringLiteral("mod"), cancelled);
        if (cancelled || diag.Unloaded())
            return false;
    }
    if (const FileResult<> loaded = LoadModel(state, state.ModelPath); !loaded) {
        MessageRequest failure;
        failure.text = loaded.error();
        failure.icon = Prompt::Icon::Critical;
        prompts().message(failure);
        return false;
    }
    host.showModelName(state.ModelName);
    BeginRunOfModel(state);
    diag.modelCaption->setText(QStringLiteral(" Моделируемое устройство: ") + state.ModelName);

    bool cancelled = false;
    TimingEntryContext timing{state, host.fileDialog(), [&diag](const QString &path) { diag.SetTimeChar(path); },
                              &host.hostWindow()};
    AskTiming(timing, cancelled);
    if (cancelled || diag.Unloaded())
        return false;

    diag.ShowModtype();
    frmKod kod(&host.hostWindow());
    prompts().exec(kod);
    if (diag.Unloaded())
        return false;

    diag.TakeFocus();
    diag.Step().CompileModel();
    diag.Step().Start(kod.ChosenCode());
    diag.InitModel();
    return true;
}

} // namespace

void RunSetup(RunWindowHost &host, ModelState &state)
{
    host.setRunLocked(true);
    frmDiag *diag = frmDiag::Load(host, state);
    const frmDiag::Busy busy(*diag);
    if (!SetUp(host, state, *diag) && !diag->Unloaded())
        diag->Frame().close();
}

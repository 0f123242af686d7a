#include "RunSetup.h"

#include "AskTiming.h"
#include "FileChoice.h"
#include "ModelFile.h"
#include "Prompts.h"
#include "RunState.h"
#include "frmDiag.h"
#include "frmKod.h"
#include "frmMenu.h"

#include <QLabel>

namespace {

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
    if (const FileResult<> loaded = LoadModel(state, state.ModelPath); !loaded) {
        MessageRequest failure;
        failure.text = loaded.error();
        failure.icon = Prompt::Icon::Critical;
        prompts().message(failure);
        return false;
    }
    menu.setWindowTitle(QStringLiteral("Модель - ") + state.ModelName);
    BeginRunOfModel(state);
    diag.Label1->setText(QStringLiteral(" Моделируемое устройство: ") + state.ModelName);

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

    diag.TakeFocus();
    diag.Step().CompileModel();
    diag.Step().Start(kod.ChosenCode());
    diag.InitModel();
    return true;
}

} // namespace

void RunSetup(frmMenu &menu, ModelState &state)
{
    menu.setRunLocked(true);
    frmDiag *diag = frmDiag::Load(menu, state);
    const frmDiag::Busy busy(*diag);
    if (!SetUp(menu, state, *diag) && !diag->Unloaded())
        diag->Frame().close();
}

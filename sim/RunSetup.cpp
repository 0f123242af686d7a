#include "sim/RunSetup.h"

#include "model/AskTiming.h"
#include "model/FileChoice.h"
#include "model/LoadedModel.h"
#include "platform/Prompts.h"
#include "platform/RunWindowHost.h"
#include "sim/frmDiag.h"
#include "sim/frmKod.h"
#include "sim/VeskTiming.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>
#include <functional>

namespace {

void PutModel(RunWindowHost &host, frmDiag &diag, SharedModel model)
{
    diag.Session().load(std::move(model));
    const QString &name = diag.State().ModelName;
    host.showModelName(name);
    diag.modelCaption->setText(QStringLiteral(" Моделируемое устройство: ") + name);
}

// Loads the model of the program's ModelPath into the window's session;
// false, after the message, when it cannot be read.
bool LoadForRun(RunWindowHost &host, const ModelState &settings, frmDiag &diag)
{
    const FileResult<SharedModel> model = LoadSharedModel(settings.ModelPath);
    if (!model) {
        MessageRequest failure;
        failure.text = model.error();
        failure.icon = Prompt::Icon::Critical;
        prompts().message(failure);
        return false;
    }
    PutModel(host, diag, *model);
    return true;
}

void StartRun(frmDiag &diag, int16_t code)
{
    diag.TakeFocus();
    diag.Session().start(code);
    diag.InitModel();
}

// The run set-up proper; false when it was abandoned. The window may also be
// closed under it from a dialogue's event loop (the main window closing):
// every step after a dialogue checks for that.
bool SetUp(RunWindowHost &host, ModelState &settings, frmDiag &diag)
{
    diag.modelCaption->setText(QStringLiteral("Модель: "));

    if (settings.ModelPath.isEmpty()) {
        if (!ChooseFile(settings, host.fileDialog(), QStringLiteral("mod")) || diag.Unloaded())
            return false;
    }
    if (!LoadForRun(host, settings, diag))
        return false;

    TimingEntryContext timing{settings, diag.State(), host.fileDialog(), [&diag](const QString &path) { diag.SetTimeChar(path); },
                              &host.hostWindow()};
    if (!AskTiming(timing) || diag.Unloaded())
        return false;

    diag.ShowModtype();
    frmKod kod(&host.hostWindow());
    prompts().exec(kod);
    if (diag.Unloaded())
        return false;

    StartRun(diag, kod.ChosenCode());
    return true;
}

bool SetUpPlannedRun(RunWindowHost &host, ModelState &settings, frmDiag &diag, PlannedRun run)
{
    RunState &state = diag.State();
    RunSession &session = diag.Session();
    // The model the run was planned on, not the file as it is now: an edited
    // file would put the faults and the times on other elements.
    settings.ModelPath = run.model->path;
    PutModel(host, diag, run.model);
    ApplyTiming(state, run.timing);
    SetTiming(diag.Vesk(), run.codeTiming);
    const auto fromStart = std::ranges::stable_partition(run.faults, [](const auto &f) { return f.step <= 0; });
    for (auto fault = run.faults.begin(); fault != fromStart.begin(); ++fault) {
        if (fault->contact != 0)
            session.setContactFault(fault->contact, fault->kind);
        else
            session.setFault(fault->element, FaultOfKind(fault->kind));
    }
    run.faults.erase(run.faults.begin(), fromStart.begin());
    session.plan(std::move(run.keys), std::move(run.faults));
    diag.PlanMarks(std::move(run.marks));
    diag.ShowModtype();
    StartRun(diag, run.code);
    return true;
}

// Locks the host and opens the diagram window for the set-up; a set-up that
// fails closes the window again.
void RunInNewWindow(RunWindowHost &host, ModelState &state, const std::function<bool(frmDiag &)> &setUp)
{
    host.setRunLocked(true);
    frmDiag *diag = frmDiag::Load(host, state);
    const frmDiag::Busy busy(*diag);
    if (!setUp(*diag) && !diag->Unloaded())
        diag->Frame().close();
}

} // namespace

bool RunOpen(const RunWindowHost &host)
{
    for (QMdiSubWindow *child : host.childArea().subWindowList())
        if (const auto *diag = qobject_cast<const frmDiag *>(child->widget()); diag && !diag->Unloaded())
            return true;
    return false;
}

void RunSetup(RunWindowHost &host, ModelState &state)
{
    RunInNewWindow(host, state, [&](frmDiag &diag) { return SetUp(host, state, diag); });
}

void RunPlanned(RunWindowHost &host, ModelState &state, PlannedRun run)
{
    state.ChangeMode = FlagFalse;
    RunInNewWindow(host, state, [&](frmDiag &diag) { return SetUpPlannedRun(host, state, diag, std::move(run)); });
}

#include "analysis/FaultAnalysis.h"

#include "analysis/frmFaults.h"
#include "model/AskTiming.h"
#include "model/FileChoice.h"
#include "platform/Prompts.h"
#include "platform/RunWindowHost.h"
#include "sim/frmKod.h"
#include "sim/VeskTiming.h"
#include "vesk/Vesks.h"

void AnalyseFaults(RunWindowHost &host, ModelState &state)
{
    if (state.ModelPath.isEmpty()) {
        if (!ChooseFile(state, host.fileDialog(), QStringLiteral("mod")))
            return;
    }
    const FileResult<SharedModel> model = LoadSharedModel(state.ModelPath);
    if (!model) {
        MessageRequest failure;
        failure.text = model.error();
        failure.icon = Prompt::Icon::Critical;
        prompts().message(failure);
        return;
    }
    // The timing questions name the elements of this model.
    RunState run;
    static_cast<ModelDefinition &>(run) = (*model)->definition;
    run.ModelPath = state.ModelPath;

    Vesks transmitter;
    TimingEntryContext timing{state, run, host.fileDialog(),
                              [&transmitter](const QString &modelPath) {
                                  QString proposed = modelPath;
                                  transmitter.SetTimeChar(proposed);
                              },
                              &host.hostWindow()};
    if (!AskTiming(timing))
        return;
    frmKod kod(&host.hostWindow());
    prompts().exec(kod);

    FaultRun scenario;
    scenario.model = *model;
    scenario.timing = TimingValues{run.Tpr, run.Totp, run.RunLength};
    scenario.codeTiming = TimingOf(transmitter);
    scenario.code = kod.ChosenCode();
    frmFaults::Open(host, state, *model, scenario);
}

#include "app/RunCommands.h"

#include "analysis/FaultAnalysis.h"
#include "model/ModelState.h"
#include "platform/RunWindowHost.h"
#include "proof/frmProve.h"
#include "report/ShowReport.h"
#include "schematic/frmSchematic.h"
#include "sim/RunSetup.h"

namespace {

class RunAndReportWindows final : public RunCommands
{
public:
    void startRun(RunWindowHost &host, ModelState &state) override { RunSetup(host, state); }
    void showReport(RunWindowHost &host, ModelState &state) override
    {
        ShowReport(state, host.fileDialog(), host.childArea());
    }
    void analyseFaults(RunWindowHost &host, ModelState &state) override { AnalyseFaults(host, state); }
    void proveProperties(RunWindowHost &host, ModelState &state) override { frmProve::Open(host, state); }
    void showSchematic(RunWindowHost &host, ModelState &state) override { frmSchematic::Show(host, state.ModelPath); }
};

} // namespace

RunCommands &programRunCommands()
{
    static RunAndReportWindows commands;
    return commands;
}

#include "CommandLine.h"
#include "FaultAnalysis.h"
#include "RunSetup.h"
#include "ShowReport.h"
#include "StartUp.h"
#include "frmMenu.h"

#include <QApplication>

int main(int argc, char **argv)
{
    if (const std::optional<int> answered = AnswerHelpOrVersion(argc, argv))
        return *answered;
    QApplication app(argc, argv);
    ModelState state;
    const std::unique_ptr<frmMenu> menu = StartUp(state);
    // The run lives in a library that itself stands on the main window, so
    // the two meet here rather than inside the main window.
    menu->RunSetup = [&state, &menu] { RunSetup(*menu, state); };
    menu->ShowReport = [&state, &menu] { ShowReport(state, menu->CDL1, *menu->mdiArea()); };
    menu->FaultAnalysis = [&state, &menu] { AnalyseFaults(*menu, state); };
    OpenModelFromCommandLine(state, *menu);
    return app.exec();
}

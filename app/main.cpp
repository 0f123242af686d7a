#include "app/CommandLine.h"
#include "app/frmMenu.h"
#include "app/StartUp.h"

#include <QApplication>

int main(int argc, char **argv)
{
    if (const std::optional<int> answered = AnswerHelpOrVersion(argc, argv))
        return *answered;
    QApplication app(argc, argv);
    ModelState state;
    const std::unique_ptr<frmMenu> menu = StartUp(state);
    OpenModelFromCommandLine(state, *menu);
    return app.exec();
}

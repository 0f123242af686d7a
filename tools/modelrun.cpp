// modelrun: runs a model with no display and no questions, for batch runs,
// exports and exact checks; "modelrun check" checks a model and "modelrun
// test" runs test benches. See UsageText() for the command line.

#include "BatchRun.h"
#include "CheckCommand.h"
#include "RunOptions.h"
#include "TestCommand.h"

#include <cstdio>

int main(int argc, char **argv)
{
    // Arguments are taken as UTF-8 whatever the locale, so that Cyrillic
    // command keys arrive as the characters typed.
    QStringList arguments;
    for (int a = 1; a < argc; ++a)
        arguments.append(QString::fromUtf8(argv[a]));

    // A model file named "check" or "test" is still run as "check.mod".
    if (!arguments.isEmpty() && arguments[0] == QLatin1String("check"))
        return RunCheckCommand(arguments.mid(1), stdout, stderr);
    if (!arguments.isEmpty() && arguments[0] == QLatin1String("test"))
        return RunTestCommand(arguments.mid(1), stdout, stderr);

    QString error;
    const std::optional<RunOptions> options = ParseRunOptions(arguments, &error);
    if (!options) {
        std::fprintf(stderr, "modelrun: %s\n\n%s", error.toUtf8().constData(), UsageText().toUtf8().constData());
        return ExitUsageError;
    }
    if (options->help) {
        std::fputs(UsageText().toUtf8().constData(), stdout);
        return ExitSuccess;
    }
    return RunModel(*options, stdout, stderr);
}

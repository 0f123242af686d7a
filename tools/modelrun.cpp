// modelrun: runs a model with no display and no questions, for batch runs,
// exports and exact checks; "modelrun check" checks a model, "modelrun
// test" runs test benches and "modelrun sweep" finds their timing margins. See UsageText() for the command line.

#include "tools/AigerCommand.h"
#include "tools/BatchRun.h"
#include "tools/CheckCommand.h"
#include "tools/ConsoleText.h"
#include "tools/DrawCommand.h"
#include "tools/FaultsCommand.h"
#include "tools/MergeCommand.h"
#include "tools/OptionTable.h"
#include "tools/ProveCommand.h"
#include "tools/RunOptions.h"
#include "tools/SweepCommand.h"
#include "tools/SweepPicture.h"
#include "tools/TestCommand.h"
#include "wave/OffscreenGui.h"
#include "wave/PictureExport.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// "modelrun --completion bash", at build time: the completion script of the
// subcommands, from their option tables.
int writeCompletion(const QStringList &arguments)
{
    if (arguments != QStringList{QStringLiteral("bash")}) {
        WriteUsageError(stderr, QString(), QStringLiteral("--completion: нужно bash"));
        return ExitUsageError;
    }
    WriteText(stdout, BashCompletion({{QStringLiteral("check"), &CheckCommandOptions()},
                                      {QStringLiteral("test"), &TestCommandOptions()},
                                      {QStringLiteral("faults"), &FaultsCommandOptions()},
                                      {QStringLiteral("sweep"), &SweepCommandOptions()},
                                      {QStringLiteral("merge"), &MergeCommandOptions()},
                                      {QStringLiteral("draw"), &DrawCommandOptions()},
                                      {QStringLiteral("prove"), &ProveCommandOptions()}},
                                     RunCommandOptions()));
    return FlushOutput(stdout, stderr) ? ExitSuccess : ExitFileError;
}

} // namespace

int main(int argc, char **argv)
{
    // Arguments are taken as UTF-8 whatever the locale, so that Cyrillic
    // command keys arrive as the characters typed.
    QStringList arguments;
    for (int a = 1; a < argc; ++a)
        arguments.append(QString::fromUtf8(argv[a]));

    if (arguments.value(0) == QLatin1String("--completion"))
        return writeCompletion(arguments.mid(1));
    // A model file named like a subcommand is still run when given with ".mod".
    if (arguments.value(0) == QLatin1String("check"))
        return RunCheckCommand(arguments.mid(1), stdout, stderr);
    if (arguments.value(0) == QLatin1String("test"))
        return RunTestCommand(arguments.mid(1), stdout, stderr);
    if (arguments.value(0) == QLatin1String("faults"))
        return RunFaultsCommand(arguments.mid(1), stdout, stderr);
    if (arguments.value(0) == QLatin1String("prove"))
        return RunProveCommand(arguments.mid(1), stdout, stderr);
    if (arguments.value(0) == QLatin1String("aiger"))
        return RunAigerCommand(arguments.mid(1), stdout, stderr);
    if (arguments.value(0) == QLatin1String("draw")) {
        const OffscreenGui gui(argv[0]);
        return RunDrawCommand(arguments.mid(1), stdout, stderr);
    }
    if (arguments.value(0) == QLatin1String("sweep") || arguments.value(0) == QLatin1String("merge")) {
        std::unique_ptr<OffscreenGui> gui;
        if (std::ranges::any_of(arguments, [](const QString &a) { return a.startsWith(QLatin1String("--svg")); }))
            gui = std::make_unique<OffscreenGui>(argv[0]);
        return arguments.value(0) == QLatin1String("sweep")
                   ? RunSweepCommand(arguments.mid(1), stdout, stderr, WriteSweepPicture)
                   : RunMergeCommand(arguments.mid(1), stdout, stderr, WriteSweepPicture);
    }

    const std::expected<RunOptions, QString> options = ParseRunOptions(arguments);
    if (!options) {
        WriteUsageError(stderr, QString(), options.error());
        return ExitUsageError;
    }
    if (options->help) {
        std::fputs(UsageText().toUtf8().constData(), stdout);
        return ExitSuccess;
    }
    if (options->version) {
        std::printf("modelrun (Модель) %s\n", MODEL_VERSION);
        return ExitSuccess;
    }
    std::unique_ptr<OffscreenGui> gui;
    if (options->wantsPictures())
        gui = std::make_unique<OffscreenGui>(argv[0]);
    return RunModel(*options, stdout, stderr, WritePicture);
}

#pragma once

#include "sim/RunScenario.h"
#include "tools/DiagramStream.h"

#include <QString>
#include <QStringList>

#include <expected>
#include <optional>

// What the command line of the headless runner asks for: a scenario for the
// model, and where and how its diagram goes.
struct RunOptions : RunScenario
{
    using Encoding = DiagramStream::Encoding;

    QString modelPath; // without ".mod"
    Encoding encoding = Encoding::Utf8;
    QString vcdFile;
    QString pngFile;
    QString svgFile;
    QString csvFile;
    QString waveJsonFile;
    bool verbose = false;
    bool help = false;
    bool version = false;

    // True when a picture is asked for: it needs fonts, so a GUI application.
    bool wantsPictures() const { return !pngFile.isEmpty() || !svgFile.isEmpty(); }

    // The file of the export named name (RunExporter::name); empty when it
    // is not asked for.
    const QString &exportFile(const QString &name) const { return this->*exportField(name); }
    QString &exportFile(const QString &name) { return this->*exportField(name); }

private:
    static QString RunOptions::*exportField(const QString &name);
};

// The largest step number the runner accepts anywhere: the step counter of
// the model is 32-bit.
inline constexpr qint64 MaxRunSteps = 2147483647;

// Reads the arguments after the program name; a Russian message saying what
// is wrong when they are not a valid command line.
std::expected<RunOptions, QString> ParseRunOptions(const QStringList &arguments);

// The usage error for a bench file named where a model file goes; nothing
// for any other file.
std::optional<QString> BenchGivenAsModel(const QString &file);
// For a command that needs a bench: without --bench, the first of the files
// named that ends in ".bench" is the bench, and leaves files.
void TakeBenchFromFiles(QStringList &files, QString &benchFile);

// The usage text shown with --help.
QString UsageText();

// The runner's options, for the completion.
class OptionList;
const OptionList &RunCommandOptions();

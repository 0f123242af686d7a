#pragma once

#include "DiagramStream.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// What the command line of the headless runner asks for.
struct RunOptions
{
    using Encoding = DiagramStream::Encoding;

    struct KeyAt
    {
        qint64 step = 0;
        QString command; // one character, the ESC character, or empty
    };
    struct FaultAt
    {
        qint64 step = 0;
        int element = 0;
        uint8_t kind = 0;
    };

    QString modelPath; // without ".mod"
    QString timingFile;
    std::optional<qint64> steps; // absent: RunLength
    int16_t code = 0;
    int kpt = 5;
    QString whdFile;
    bool changes = false;
    QList<KeyAt> keys;     // in command-line order
    QList<FaultAt> faults; // in command-line order
    Encoding encoding = Encoding::Utf8;
    QString reportFile;
    QString vcdFile;
    bool verbose = false;
    bool help = false;
    bool version = false;
};

// The largest step number the runner accepts anywhere: the step counter of
// the model is 32-bit.
inline constexpr qint64 MaxRunSteps = 2147483647;

// Reads the arguments after the program name. Returns nothing and sets
// *error to a Russian message when they are not a valid command line.
std::optional<RunOptions> ParseRunOptions(const QStringList &arguments, QString *error);

// The usage text shown with --help and after a usage error.
QString UsageText();

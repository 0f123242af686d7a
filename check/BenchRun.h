#pragma once

#include "check/Bench.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The outcome of one expectation in one scenario.
struct ExpectationResult
{
    QString scenario;
    Expectation expectation;
    bool passed = false;
    qint64 step = 0; // where it failed, or where the awaited change came
    QString detail;  // Russian: what was seen
};

// The outcome of one bench file: the expectations checked, or why the bench
// or its model could not be used (then error is set; the results are those
// of the scenarios checked before an expectation proved unusable, and none
// when a file, a name or a fault of the bench is wrong, since those are all
// checked before anything runs).
struct BenchResult
{
    QString file;
    QList<ExpectationResult> results;
    std::optional<QString> error;
    QStringList warnings; // of the bench's timing files
    double seconds = 0; // how long reading, running and checking took

    int failures() const;
};

// Reads the bench file, runs every scenario through a run session of its
// model and checks the expectations against the signals of every step.
BenchResult RunBenchFile(const QString &fileName);

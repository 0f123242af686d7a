#pragma once

#include "check/LoadedBench.h"

#include <QList>
#include <QString>

#include <expected>
#include <optional>

// One quantity a margin sweep varies, as written after --vary:
//
//   code-times=FROM..TO/STEP      every pulse and interval of the transmitter, per cent
//   codeN-times=FROM..TO/STEP     those of code N only (1 КЖ, 2 Ж, 3 З), per cent
//   pickup:NAME=FROM..TO/STEP     the pickup time of element NAME, or of all with "*"
//   release:NAME=FROM..TO/STEP    the same for the release time
//
// Each number may end in "%" (scaled, the default) or in "с" or "s" (set,
// in seconds; relay times only); "," and "." both serve as the decimal point.
struct SweepAxis
{
    enum class Quantity { CodeTimes, Pickup, Release };

    QString text;    // as written, for the reports and the merge of shards
    QString what;    // the part before "="
    Quantity quantity = Quantity::CodeTimes;
    int code = 0;    // CodeTimes: 1..3 one code's times, 0 all codes
    QString element; // Pickup, Release: a name as the model spells it, or "*"
    int elementIndex = 0; // its number in the model once bound; 0 for all
    bool seconds = false;
    double from = 0;
    double to = 0;
    double step = 0;
    int count = 0;   // the points from, from + step, ... up to to
    // 100 % when scaled; when set, the time the bench's first scenario
    // gives the element (or all elements, when they agree).
    std::optional<double> nominal;

    double value(int index) const { return from + index * step; }
    // "Время отпадания Д, с": the axis title in pictures.
    QString title() const;
    // "release:Д, с": the column name in tables.
    QString column() const;
    // "0.3 с", "85 %".
    QString format(double value) const;
};

// The most points a sweep makes, line or grid: each runs the whole bench.
inline constexpr int MaxSweepPoints = 10000;

// The axis that text describes, or a Russian message saying what is wrong.
std::expected<SweepAxis, QString> ParseSweepAxis(const QString &text);

// Checks the axis against the bench's model (the element it names) and sets
// its nominal value.
std::expected<void, QString> BindSweepAxis(SweepAxis &axis, const LoadedBench &bench);

// The scenario's timing and code times as it runs them, filled in from the
// defaults when it reads no file: what a sweep value changes.
void FillSweptTiming(RunScenario &run, int elemCount);

// The bound axis at value in a scenario whose timing is filled in.
void ApplySweepValue(const SweepAxis &axis, double value, int elemCount, RunScenario &run);

#pragma once

#include "model/RunState.h"
#include "platform/FileResult.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

// Numbers typed by the user in the timing entries use "," as the decimal
// separator whatever the locale says; "." is let in through CommaDecimal.

// text with its first "." replaced by ","; a text without "." unchanged.
QString CommaDecimal(const QString &text);

// A number typed with a decimal comma: optional blanks around it, an
// optional sign, digits with at most one ",", an optional exponent. Nothing
// for anything else, "." included, and for values outside single precision.
std::optional<float> ReadCommaNumber(const QString &text);

// The run-length answer in seconds (CommaDecimal applied first), rounded to
// whole seconds with halves to the even neighbour, as steps of 0.01 s.
// Nothing when it is not a number, negative, or too large for the step
// counter.
std::optional<int32_t> RunLengthFromAnswer(const QString &answer);

// The values of a timing file for a model of some element count.
struct TimingValues
{
    std::array<float, MaxElements + 1> Tpr{};
    std::array<float, MaxElements + 1> Totp{};
    int32_t RunLength = 0;
    qsizetype valuesInFile = 0; // as ReadTimingFile counted them; 0 for values not from a file
};

// One value of a timing file as written: its text without blanks, where it
// starts (line and column from 1), and its number when it is one.
struct TimingValueText
{
    QString text;
    int line = 0;
    int column = 0;
    std::optional<double> number;
};

// The values of a timing file's text in order, as ReadTimingFile takes them.
QList<TimingValueText> TimingValueTexts(const QString &content);

// Reads Tpr(1..elemCount), Totp(1..elemCount) and RunLength (in steps) from
// fileName. Values are separated by line ends or commas and written with "."
// (sign, exponent and a missing leading zero allowed); blank lines are
// skipped and values after the run length are not read, so a file written
// for another element count is taken with its values shifted. Fails
// with a Russian message naming the file and the line when the file cannot
// be read, ends early or holds something else where a value is due.
FileResult<TimingValues> ReadTimingFile(const QString &fileName, int elemCount);

// What the values read from fileName for a model of elemCount elements
// suggest the user did not mean, one Russian sentence each: a count of values
// other than 2·N+1 (a file saved for another model, or a decimal comma,
// which splits one number into two and shifts the rest), and a run length of
// 0 when runLengthUsed (no step count given in its place).
QStringList TimingFileWarnings(const QString &fileName, const TimingValues &values, int elemCount,
                               bool runLengthUsed = true);

// Writes Tpr(1..ElemCount), Totp(1..ElemCount) and RunLength of state, one
// per line with CR LF, times with "." and up to 7 significant digits. The
// file is replaced as a whole: a failed write leaves an existing file as it
// was and fails with a message naming the file.
FileResult<> WriteTimingFile(const QString &fileName, const RunState &state);

// Copies the values read for the current element count into state.
void ApplyTiming(RunState &state, const TimingValues &values);

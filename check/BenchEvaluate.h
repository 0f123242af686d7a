#pragma once

#include "check/Bench.h"
#include "check/BenchRun.h"
#include "model/ModelState.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <expected>
#include <vector>

// The signals a bench can name: "p" the input, elements and outputs as the
// model spells them (the first element of a name, as in functions). Bit 0 is
// the input, bit i element i, bit MaxElements + j output j.
class SignalNames
{
public:
    explicit SignalNames(const ModelDefinition &definition);

    // The bit of name, or a Russian reason why there is none.
    std::expected<int, QString> bit(const QString &name) const;

private:
    QHash<QString, int> m_bits;
    QStringList m_ambiguous; // both an element and an output
    QStringList m_all;
};

// The signals of a run at every step; step 0 is the state at rest before
// the first step.
struct SignalTrace
{
    std::vector<uint32_t> values;

    qint64 lastStep() const { return qint64(values.size()) - 1; }
    int value(qint64 step, int bit) const { return int((values[size_t(step)] >> bit) & 1u); }
};

// Whether every signal the expectation names is known; the error names the
// bench file, line and column.
std::expected<void, BenchError> CheckSignalNames(const Expectation &expectation, const SignalNames &names,
                                                 const QString &benchFile);

// Checks the expectation against a trace. A range beyond the end of the run
// is an error of the bench.
std::expected<ExpectationResult, BenchError> Evaluate(const Expectation &expectation, const SignalTrace &trace,
                                                      const SignalNames &names, const QString &benchFile);

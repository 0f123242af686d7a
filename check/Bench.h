#pragma once

#include "model/ModelState.h"
#include "sim/RunScenario.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

// A test bench: what one device must do under which input, as read from a
// bench file. Signals are kept by name until the model is known.

// A place in a bench file, for messages.
struct BenchPlace
{
    int line = 0;   // from 1
    int column = 0; // from 1
};

// Steps first..last of a run; last absent: to the end of the run.
struct StepRange
{
    qint64 first = 1;
    std::optional<qint64> last;
};

// A Boolean combination of signals.
struct SignalExpression
{
    enum class Kind { Signal, Not, And, Or };
    Kind kind = Kind::Signal;
    QString name; // for a signal
    BenchPlace place;
    std::shared_ptr<const SignalExpression> left, right; // right only for And, Or
};

struct Expectation
{
    enum class Kind {
        Value,   // signal = value over range
        Rise,    // the first rise of signal from range.first on lies in range
        Fall,    // the same for a fall
        Never,   // expression false over range
        Always,  // expression true over range
        Changes, // signal changes count times in range
    };
    Kind kind = Kind::Value;
    BenchPlace place;
    QString text; // as written, for the report
    SignalExpression signal; // the signal, or the expression of Never and Always
    int value = 0;
    qint64 count = 0;
    StepRange range;
};

// A fault by element name or number, or of a contact as
// ФУНКЦИЯ/ТЕРМ/КОНТАКТ, resolved once the model is read.
struct BenchFault
{
    qint64 step = 0;
    QString element;
    uint8_t kind = 0;
    bool contact = false; // element names a contact
    BenchPlace place;     // of the element
    BenchPlace stepPlace; // of the step
};

struct BenchScenario
{
    QString name;
    BenchPlace place;
    RunScenario run; // everything but the faults
    QList<BenchPlace> keyPlaces; // where each of run.keys is written
    QList<BenchFault> faults;
    QList<Expectation> expectations;
};

// What an indication output shows, on the scale of the codes: 3 what code З
// warrants, 2 Ж, 1 КЖ, 0 what no code warrants.
struct IndicationLevel
{
    QString output;
    int level = 0;
    BenchPlace place; // of the output's name
};

// What a proof over the bench varies and what it requires beyond the
// expectations; every part absent leaves the proof's default. Times in steps.
struct BenchProof
{
    struct Band
    {
        qint64 first = 0; // hundredths of a second
        qint64 last = 0;
    };
    // "допуск ЭЛЕМЕНТ срабатывание A..B отпускание A..B": either may be absent.
    struct ElementBand
    {
        QString element;
        BenchPlace place;
        std::optional<Band> pickup, release;
    };

    std::optional<QList<int16_t>> codes; // "доказать коды 0 1 2 3"
    bool freeInput = false;              // "доказать вход свободный"
    std::optional<qint64> minChangeSteps;
    std::optional<uint8_t> faults; // 0 none, 1 single, 2 pairs
    bool contacts = false;
    std::optional<double> tolerancePercent;
    QList<ElementBand> bands;
    std::optional<qint64> latencySteps;
    BenchPlace latencyPlace;
    std::optional<qint64> responseSteps;
    BenchPlace responsePlace;
};

struct Bench
{
    QString file;
    QString modelFile; // resolved against the bench file's folder
    QList<IndicationLevel> indications;
    BenchProof proof;
    // The expectations written before the first scenario, which every
    // scenario holds (each scenario has them among its own too).
    QList<Expectation> everyScenario;
    RunScenario everyRun; // the settings written before the first scenario
    QList<BenchScenario> scenarios;
};

// The indication level of each output by its number from 1, NoLevel for a
// plain output whose value means nothing to the driver.
struct OutputLevels
{
    static constexpr int8_t NoLevel = -1;
    std::array<int8_t, MaxOutputs + 1> of = filled();

    bool any() const { return std::ranges::any_of(of, [](int8_t level) { return level != NoLevel; }); }

private:
    static std::array<int8_t, MaxOutputs + 1> filled()
    {
        std::array<int8_t, MaxOutputs + 1> levels;
        levels.fill(NoLevel);
        return levels;
    }
};

// Why a bench cannot be used; message names the file, the line and column.
struct BenchError
{
    QString message;
};

// "Файл F, строка L, столбец C: what."
BenchError BenchErrorAt(const QString &file, const BenchPlace &place, const QString &what);

// The longest run a bench may ask for: every step of it is kept.
inline constexpr qint64 MaxBenchSteps = 10'000'000;

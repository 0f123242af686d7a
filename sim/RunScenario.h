#pragma once

#include "model/TimingFile.h"
#include "vesk/CodeTransmitter.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <expected>
#include <optional>

// What a run without a person at the keyboard is asked to do: the input, the
// relay timing, the keys and faults at given steps, the length of the run.
struct RunScenario
{
    struct KeyAt
    {
        qint64 step = 0;
        QString command; // one character, the ESC character, or empty
    };
    struct FaultAt
    {
        qint64 step = 0;
        int element = 0;
        uint8_t kind = 0; // 0 none, 1 break, 2 feed; for a contact 3 welded, 4 open
        int contact = 0;  // a contact's number (ModelContacts), for kinds 3 and 4, or 0 to clear it
    };

    QString timingFile;          // empty: 0.01 s delays and 100 steps
    std::optional<qint64> steps; // absent: the run length of the timing
    int16_t code = 0;            // the code in force from the first step
    int kpt = 5;                 // КПТШ-5 or КПТШ-7 times
    QString whdFile;             // code times from a file instead
    bool changes = false;        // the change diagram instead of the timing diagram
    QList<KeyAt> keys;           // in the order given; the last key for a step wins
    QList<FaultAt> faults;       // in the order given
    // Faults whose element is given by its name in the model, found when the
    // model is loaded; for one step they come after those of `faults`.
    struct NamedFaultAt
    {
        qint64 step = 0;
        QString element;
        uint8_t kind = 0;
        bool contact = false; // element is a contact as ФУНКЦИЯ/ТЕРМ/КОНТАКТ
    };
    QList<NamedFaultAt> namedFaults;
    QString reportFile;          // empty: no report file

    // Contents read before, which take the place of timingFile and whdFile:
    // many runs of one scenario read its files once.
    std::optional<TimingValues> timing;
    std::optional<CodeTiming> codeTiming;
};

// The scenario with its timing file (for a model of elemCount elements) and
// its code-timing file read into it, or the message of the reader that
// failed. Code times whose product is zero are refused: the dialogue would
// ask again, and with no one to ask the run cannot start.
std::expected<RunScenario, QString> ReadScenarioFiles(RunScenario scenario, int elemCount);

// The number of steps the scenario runs: its own step count, else the run
// length of its timing (read into it), else that of the default timing.
qint64 RunLengthOf(const RunScenario &scenario);

// The timing of a scenario that names no timing file: 0.01 s delays and 100
// steps.
TimingValues DefaultTiming(int elemCount);

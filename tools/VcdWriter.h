#pragma once

#include "model/RunState.h"
#include "platform/FileResult.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <vector>

// A value change dump of a run, for waveform viewers. One time unit is one
// step of 10 ms; the values at time k are those of step k, time 0 holds the
// state at rest before the first step. Lanes, all in one module scope: the
// input, every element state, every output, and per element its pending
// pickup, its pending release and its injected fault as two wires, "_break"
// and "_feed". Every lane is a 1-bit wire: some readers take no sample at
// all from a dump that mixes in wider vectors.
//
// Names keep Cyrillic letters (waveform readers take UTF-8 names); any other
// character that is not a letter, a digit or "_" becomes "_", because blanks
// end a name and "." separates scopes in readers. Names that would collide get
// a suffix. Every name that had to change is listed with its original in a
// $comment. The header carries no date, so a dump depends on the run alone.
class VcdWriter
{
public:
    // Creates or overwrites fileName. Fails with a Russian message naming the
    // file when it cannot be created.
    FileResult<> open(const QString &fileName);

    // Declares the lanes of state's model and dumps its values as time 0.
    void begin(const RunState &state);
    // Records the values after step number `step` (1, 2, ... strictly
    // increasing); a time stamp is written only when some lane changed.
    void step(qint64 step, const RunState &state);
    // Writes the final time stamp, lastStep + 1, and closes the file. Fails
    // with a message naming the file when any write failed.
    FileResult<> finish(qint64 lastStep);

private:
    struct Lane
    {
        QByteArray id;
        int value = 0;
    };

    void declare(const QString &name, const QString &original);
    void collectValues(const RunState &state, std::vector<int> *values) const;
    void appendValue(const Lane &lane);
    void flushIfFull();

    QFile m_file;
    QByteArray m_buffer;
    std::vector<Lane> m_lanes;
    std::vector<int> m_values;
    QStringList m_usedNames;
    QStringList m_renames;
    QByteArray m_declarations;
    int m_elemCount = 0;
    int m_outCount = 0;
    bool m_writeFailed = false;
};

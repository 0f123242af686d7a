#pragma once

#include "platform/FileResult.h"
#include "sim/RunRecording.h"

#include <QString>

// A value change dump of a recorded run, for waveform viewers. One time unit
// is one step of 10 ms; the values at time k are those of step k, time 0
// holds the state at rest before the first step, and the last stamp is the
// one after the last step. Lanes, all in one module scope: the input, every
// element state, every output, and per element its pending pickup, its
// pending release and its injected fault as two wires, "_break" and "_feed".
// Every lane is a 1-bit wire: some readers take no sample at all from a dump
// that mixes in wider vectors.
//
// Names keep Cyrillic letters (waveform readers take UTF-8 names); any other
// character that is not a letter, a digit or "_" becomes "_", because blanks
// end a name and "." separates scopes in readers. Names that would collide get
// a suffix. Every name that had to change is listed with its original in a
// $comment. The header carries no date, so a dump depends on the run alone.
// Unlike the other exports, a run of no step still has a dump: its rest.

// Creates or empties fileName, so that a file that cannot be created is found
// before the run; a Russian message naming the file.
FileResult<> CreateVcdFile(const QString &fileName);

// Writes the dump of recording to fileName; a Russian message naming the file
// when it cannot be written.
FileResult<> ExportVcd(const RunRecording &recording, const QString &fileName);

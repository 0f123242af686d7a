#pragma once

#include "check/Finding.h"

#include <QString>

#include <vector>

// The model check: reads a model and its timing file as texts, so that it
// knows lines and columns, and lists every suspicious spot. Names and terms
// are read exactly as a run reads them; whether the device settles is found
// by running it under a constant input 0 and 1.
//
// modelFile is the model file's name (with ".mod"); text its decoded text,
// which may differ from the file (an editor's unsaved text). timingFile is
// the timing file to check and run with, or empty for 0.01 s delays.
// Findings come in file order: the model by line and column, then the timing
// file.
std::vector<Finding> CheckModelText(const QString &modelFile, const QString &text, const QString &timingFile);

// Reads modelFile and checks it; a file that cannot be read is one finding.
std::vector<Finding> CheckModelFile(const QString &modelFile, const QString &timingFile);

// The timing file that belongs to a model file: the same name with ".tim",
// when it exists; otherwise empty.
QString TimingFileBeside(const QString &modelFile);

bool HasErrors(const std::vector<Finding> &findings);

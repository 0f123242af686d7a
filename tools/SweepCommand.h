#pragma once

#include "tools/SweepReport.h"

#include <QStringList>

#include <cstdio>

// "modelrun sweep [MODEL] --bench FILE --vary WHAT=FROM..TO/STEP [--vary …]":
// runs the bench at every point of a line or a grid of timing values and
// reports how far each can move from nominal before an expectation breaks.
// picture draws the grid; returns the exit status of the runner.
int RunSweepCommand(const QStringList &arguments, std::FILE *out, std::FILE *err, const SweepPictureWriter &picture);

QString SweepUsageText();

// Its options, for the completion.
class OptionList;
const OptionList &SweepCommandOptions();

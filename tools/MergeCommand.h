#pragma once

#include "tools/SweepReport.h"

#include <QStringList>

#include <cstdio>

// "modelrun merge FILES... [--format text|json|csv]": joins the shard files
// of a fault campaign (modelrun faults --shard K/N) or of a sweep (modelrun
// sweep --shard K/N, then with --csv and --svg) into the report the run
// gives unsharded; picture draws a sweep's grid. Returns the exit status of
// the runner.
int RunMergeCommand(const QStringList &arguments, std::FILE *out, std::FILE *err,
                    const SweepPictureWriter &picture = {});

// The options of the command, for the completion.
class OptionList;
const OptionList &MergeCommandOptions();

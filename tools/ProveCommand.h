#pragma once

#include "tools/OptionTable.h"

#include <QStringList>

#include <cstdio>

// modelrun prove --bench FILE [MODEL] [options]: searches every run the
// bench (and the options over it) allows for one that breaks its
// invariants or its indications' properties. The report goes to out,
// messages and progress (on a terminal) to err. Returns 0 proved, 1 refuted
// (a counterexample that an ordinary run repeats), 2 a usage or bench error,
// 3 no verdict: a limit stopped the search, or a counterexample did not
// repeat (an internal error).
int RunProveCommand(const QStringList &arguments, std::FILE *out, std::FILE *err);

// The options of the command, for the completion.
const OptionList &ProveCommandOptions();

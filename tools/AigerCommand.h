#pragma once

#include <QStringList>

#include <cstdio>

// modelrun aiger MODEL [--timing FILE] [--kpt 5|7] [--input code|free]
// -o FILE.aig|FILE.aag: writes the device with its relay delays and its
// transmitter as an AIGER circuit, for an outside model checker. A developer
// aid, left out of the runner's own help and of the completion. A line saying
// what was written goes to out; errors to err. Returns 0 when the file is
// written, 1 for a file that cannot be read or written or a circuit that
// cannot be built, 2 for a usage error.
int RunAigerCommand(const QStringList &arguments, std::FILE *out, std::FILE *err);

#pragma once

#include <QStringList>

#include <cstdio>

// modelrun test FILE... [--junit OUT.xml]: runs test benches. One line per
// expectation goes to out, bench and model errors to err. Returns 0 when all
// pass, 1 on a failure, 2 when a bench or its model cannot be used or the
// command line is wrong.
int RunTestCommand(const QStringList &arguments, std::FILE *out, std::FILE *err);

// Its options, for the completion.
class OptionList;
const OptionList &TestCommandOptions();

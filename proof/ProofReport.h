#pragma once

#include "check/BenchEvaluate.h"
#include "proof/ProofQuestion.h"

#include <QStringList>

// The answer of a proof in Russian, as modelrun prove prints it and the
// proof window shows it: the verdict and the figures, for a counterexample
// the relay times a band chose and the steps of its run where something
// changes (trace: the signals of its ordinary run), then what was assumed
// and what was asked.
QStringList ProofReportLines(const ProofQuestion &question, const ProofAnswer &answer, const SignalTrace *trace);

// What a counterexample breaks and where: "Нарушено «…» на шаге N (T с)",
// with the levels for the indications' properties.
QString BreachText(const Counterexample &counterexample);

#include "proof/ProofEngines.h"

#include "proof/AbcEngine.h"

#include <algorithm>

std::expected<ProofAnswer, QString> ProveWith(ProofEngine engine, const ProofQuestion &question,
                                              const ProofProgressSink &progress, const std::atomic<bool> *cancel)
{
    switch (engine) {
    case ProofEngine::Explicit:
        return Prove(question, progress, cancel);
    case ProofEngine::Abc:
        return ProveWithAbc(question, cancel);
    case ProofEngine::Auto:
        break;
    }
    ProofQuestion probe = question;
    if (probe.maxStates == 0 || probe.maxStates > AutoExplicitStates)
        probe.maxStates = AutoExplicitStates;
    auto answer = Prove(probe, progress, cancel);
    // Stopped by the states or the memory, not by the clock or the user.
    const bool outgrown = answer && answer->verdict == ProofAnswer::Verdict::Unknown && !(cancel && *cancel)
                          && !(question.timeSeconds > 0 && answer->seconds >= question.timeSeconds);
    if (!outgrown)
        return answer;
    ProofQuestion rest = question;
    if (rest.timeSeconds > 0)
        rest.timeSeconds = std::max(1.0, rest.timeSeconds - answer->seconds);
    auto symbolic = ProveWithAbc(rest, cancel);
    if (symbolic)
        symbolic->seconds += answer->seconds;
    return symbolic;
}

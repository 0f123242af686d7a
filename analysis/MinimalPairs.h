#pragma once

#include "analysis/SafetyJudgement.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <vector>

// Which runs of single faults and of pairs a report shows unless asked for
// all: every single, and of the pairs those wrong-side together while
// neither of their faults is wrong-side alone under the same code (the
// others follow from the singles). keysOf(run) names each fault of a run
// together with its code, one key a fault, so that a single's key is the
// key its fault has in the pairs of that code.
template<typename Runs, typename KeysOf>
std::vector<bool> MinimalPairsShown(const Runs &runs, KeysOf keysOf)
{
    using Key = typename decltype(keysOf(*std::begin(runs)))::value_type;
    std::set<Key> wrongAlone;
    for (const auto &run : runs)
        if (const auto keys = keysOf(run); keys.size() == 1 && run.verdict.safety == Safety::WrongSide)
            wrongAlone.insert(keys.front());
    std::vector<bool> shown;
    for (const auto &run : runs) {
        const auto keys = keysOf(run);
        shown.push_back(keys.size() == 1
                        || (run.verdict.safety == Safety::WrongSide
                            && std::ranges::none_of(keys, [&](const Key &key) { return wrongAlone.contains(key); })));
    }
    return shown;
}

#pragma once

#include "proof/ProofQuestion.h"

#include <atomic>
#include <cstdint>
#include <expected>

// Which engine answers a proof. Auto: the explicit search while its states
// stay few (AutoExplicitStates, a few seconds of search), and ABC for a
// question that outgrows that.
enum class ProofEngine : uint8_t { Explicit, Abc, Auto };

inline constexpr qint64 AutoExplicitStates = 5'000'000;

std::expected<ProofAnswer, QString> ProveWith(ProofEngine engine, const ProofQuestion &question,
                                              const ProofProgressSink &progress = {},
                                              const std::atomic<bool> *cancel = nullptr);

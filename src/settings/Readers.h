// The text forms of settings: flags, numbers, counters, and the counter raise.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include "settings/mRegistry.h"

namespace settings {

// Only exactly "1" is on.
bool isFlagOn(const std::string& text);
bool ReadFlag(TmRegistry& reg, const std::string& name);

// The whole text as a decimal integer with an optional minus sign; nothing
// when it is not one (blanks, separators and overflow included).
std::optional<std::int64_t> parseNumber(const std::string& text);

// A counter: missing or unparsable counts as 0.
std::int64_t ReadCounter(TmRegistry& reg, const std::string& name);
// Read, add one, write back at once; returns the new count. The count is
// 64-bit and stops at its maximum rather than wrapping round.
std::int64_t RaiseCounter(TmRegistry& reg, const std::string& name);

// How the text of "Popup Limit" selects the window limit: by "Limit Edit",
// the maximum of 15, or neither (the window keeps its initial choice).
enum class PopupLimitChoice { Manual, Maximum, Neither };
PopupLimitChoice PopupLimitOf(const std::string& text);

// The text of "Limit Edit" as the spin control loads it: initial 5 when it is
// not a number, otherwise clamped to 0..15.
int LimitEditOf(const std::string& text);

}  // namespace settings

#include "settings/Readers.h"
#include <algorithm>
#include <limits>

namespace settings {

bool isFlagOn(const std::string& text) { return text == "1"; }

bool ReadFlag(TmRegistry& reg, const std::string& name) { return isFlagOn(reg.ReadValue(name)); }

std::optional<std::int64_t> parseNumber(const std::string& text) {
  const bool negative = !text.empty() && text[0] == '-';
  const std::size_t first = negative ? 1 : 0;
  if (text.size() == first) return std::nullopt;
  std::int64_t n = 0;
  for (std::size_t i = first; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    const int digit = c - '0';
    if (n > (std::numeric_limits<std::int64_t>::max() - digit) / 10) return std::nullopt;
    n = n * 10 + digit;
  }
  return negative ? -n : n;
}

std::int64_t ReadCounter(TmRegistry& reg, const std::string& name) {
  return parseNumber(reg.ReadValue(name)).value_or(0);
}

std::int64_t RaiseCounter(TmRegistry& reg, const std::string& name) {
  std::int64_t n = ReadCounter(reg, name);
  if (n < std::numeric_limits<std::int64_t>::max()) ++n;
  reg.AddValue(name, std::to_string(n));
  reg.WriteValues();
  return n;
}

PopupLimitChoice PopupLimitOf(const std::string& text) {
  if (text == "0") return PopupLimitChoice::Manual;
  if (text == "1") return PopupLimitChoice::Maximum;
  return PopupLimitChoice::Neither;
}

int LimitEditOf(const std::string& text) {
  constexpr int Initial = 5, Min = 0, Max = 15;
  auto n = parseNumber(text);
  if (!n) return Initial;
  return static_cast<int>(std::clamp<std::int64_t>(*n, Min, Max));
}

}  // namespace settings

// Fuzz target: the settings' number and counter texts. Any text gives a
// number or none without throwing or overflowing; a number reads back as its
// own decimal text (leading zeros and a "-0" aside), and a raised counter
// never wraps round. The window limit's texts load as 0 to 15, 5 when they
// are no number.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include "platform/fake/FakeRegistry.h"
#include "settings/Readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto n = settings::parseNumber(text);
  if (n) {
    const bool negative = text[0] == '-';
    const std::string digits = text.substr(negative ? 1 : 0);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) std::abort();
    const std::size_t first = digits.find_first_not_of('0');
    const std::string plain = first == std::string::npos ? "0" : digits.substr(first);
    if (std::to_string(negative ? -*n : *n) != plain) std::abort();
    if (*n == std::numeric_limits<std::int64_t>::min()) std::abort();
  }
  if (settings::isFlagOn(text) != (text == "1")) std::abort();
  // Raised from the stored text (which ends at its first NUL): one more, or
  // 1 from a text that is no number, and never past the maximum.
  fake::FakeRegistry registry;
  registry.setString(platform::Hive::CurrentUser, "software\\Tarnwick\\counter", "Counter", text);
  settings::TmRegistry counters(registry, settings::TmRootKey::rkHKEY_CURRENT_USER, "\\software\\Tarnwick\\counter",
                                true);
  const auto stored = settings::parseNumber(text.substr(0, text.find('\0')));
  const std::int64_t raised = settings::RaiseCounter(counters, "Counter");
  const std::int64_t max = std::numeric_limits<std::int64_t>::max();
  if (raised != (!stored ? 1 : *stored == max ? max : *stored + 1)) std::abort();
  if (counters.ReadValue("Counter") != std::to_string(raised)) std::abort();
  const int limit = settings::LimitEditOf(text);
  if (limit < 0 || limit > 15 || (!n && limit != 5) || (n && *n >= 0 && *n <= 15 && limit != *n)) std::abort();
  const auto choice = settings::PopupLimitOf(text);
  if ((choice == settings::PopupLimitChoice::Manual) != (text == "0") ||
      (choice == settings::PopupLimitChoice::Maximum) != (text == "1"))
    std::abort();
  return 0;
}

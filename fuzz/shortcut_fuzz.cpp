// libFuzzer target for the shortcut texts kept in the settings. Any text
// must parse without harm to a value of key code and modifier bits only, and
// text and value must read back as written: for every value drawn from the
// input, FormatShortcut(ParseShortcut(FormatShortcut(v))) == FormatShortcut(v)
// whatever the letter case of the text, and ParseShortcut(FormatShortcut(p))
// == p for every parsed p. Key names beyond the fixed ones come from the fake
// layout of the native tests, so a run does not depend on the machine.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include "platform/fake/FakeHotKeys.h"
#include "popup/HotKeyManager.h"

namespace {

[[noreturn]] void fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "shortcut property broken: %s: %s\n", what, detail.c_str());
  std::abort();
}

std::string flipCase(std::string s, std::uint32_t bits) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (!((bits >> (i % 32)) & 1)) continue;
    if (c >= 'a' && c <= 'z') s[i] = static_cast<char>(c - 'a' + 'A');
    else if (c >= 'A' && c <= 'Z') s[i] = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fake::FakeHotKeys keys;
  using popup::FormatShortcut;
  using popup::ParseShortcut;

  // The input as a stored text.
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::uint32_t parsed = ParseShortcut(text, keys);
  if (parsed & ~std::uint32_t{0xE0FF}) fail("parsed bits", text);
  if (parsed != 0) {
    const std::string shown = FormatShortcut(parsed, keys);
    if (shown.empty()) fail("parsed key without a name", text);
    if (ParseShortcut(shown, keys) != parsed) fail("parsed value does not read back", text + " -> " + shown);
  }

  // The input as values, four bytes each (a shorter tail too).
  for (std::size_t at = 0; at < size; at += 4) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4 && at + i < size; ++i) v |= std::uint32_t{data[at + i]} << (8 * i);
    const std::string once = FormatShortcut(v, keys);
    const std::string twice = FormatShortcut(ParseShortcut(once, keys), keys);
    if (twice != once) fail("value does not read back", std::to_string(v) + ": " + once + " -> " + twice);
    const std::string mixed = flipCase(once, v * 2654435761u);
    if (ParseShortcut(mixed, keys) != ParseShortcut(once, keys)) fail("letter case matters", mixed);
  }
  return 0;
}

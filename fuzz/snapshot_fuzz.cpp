// Fuzz target: the typed-URL snapshot's REGEDIT4 lines. The input is split at
// NUL bytes into names and texts; every value the snapshot writes reads back,
// by the registry editor's rules (a backslash escapes the next character),
// as the name and text it was made of, and what cannot stand on one line is
// left out and counted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>
#include "guard/TypedUrls.h"

namespace {

// Reads one quoted REGEDIT4 string from `at`, as the registry editor does.
bool unquote(const std::string& line, std::size_t& at, std::string& out) {
  if (at >= line.size() || line[at] != '"') return false;
  out.clear();
  for (++at; at < line.size(); ++at) {
    if (line[at] == '"') {
      ++at;
      return true;
    }
    if (line[at] == '\\') {
      if (++at == line.size()) return false;
    }
    out += line[at];
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> parts;
  for (std::size_t at = 0; at <= input.size();) {
    const std::size_t end = std::min(input.find('\0', at), input.size());
    parts.push_back(input.substr(at, end - at));
    at = end + 1;
  }
  guard::Values values;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) values.emplace_back(parts[i], parts[i + 1]);
  std::size_t leftOut = 0;
  const std::string text = guard::SnapshotText(values, &leftOut);

  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  if (lines.size() < 3 || lines[0] != "REGEDIT4") std::abort();
  std::size_t kept = 0;
  for (const auto& [name, value] : values) {
    if (name.find_first_of("\r\n") != std::string::npos || value.find_first_of("\r\n") != std::string::npos) continue;
    if (3 + kept >= lines.size()) std::abort();
    const std::string& line = lines[3 + kept++];
    std::size_t at = 0;
    std::string readName, readValue;
    if (!unquote(line, at, readName) || line.compare(at, 1, "=") != 0) std::abort();
    ++at;
    if (!unquote(line, at, readValue) || at != line.size()) std::abort();
    if (readName != name || readValue != value) std::abort();
  }
  if (kept + leftOut != values.size() || lines.size() != 3 + kept) std::abort();
  return 0;
}

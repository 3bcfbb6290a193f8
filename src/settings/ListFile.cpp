#include "settings/ListFile.h"
#include <algorithm>

namespace settings {

std::vector<std::string> ParseListFile(const std::string& data) {
  const std::string text = data.substr(0, data.find('\0'));
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
    lines.push_back(text.substr(at, end - at));
    at = end;
    if (at < text.size() && text[at] == '\r') ++at;
    if (at < text.size() && text[at] == '\n') ++at;
  }
  return lines;
}

std::string FormatListFile(const std::vector<std::string>& entries) {
  std::string data;
  for (const auto& e : entries) data += e + "\r\n";
  return data;
}

}  // namespace settings

#include "update/VersionReply.h"

namespace update {

std::vector<std::string> SplitReplyLines(const std::string& reply) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < reply.size(); ++i) {
    const char c = reply[i];
    if (c != '\r' && c != '\n') {
      line.push_back(c);
      continue;
    }
    if (c == '\r' && i + 1 < reply.size() && reply[i + 1] == '\n') ++i;
    lines.push_back(std::move(line));
    line.clear();
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

std::optional<std::string> ServerVersion(const std::string& reply) {
  std::vector<std::string> lines = SplitReplyLines(reply);
  if (lines.size() < 4) return std::nullopt;
  return std::move(lines[3]);
}

bool IsNewerVersion(const std::string& installed, const std::string& server) {
  // std::string compares its chars as unsigned bytes (char_traits<char>).
  return installed.compare(server) < 0;
}

}  // namespace update

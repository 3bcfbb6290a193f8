// Fuzz target: the version reply's line splitting and the version
// comparison. The input is a reply; its first line also serves as the
// installed version. Checks what must hold for any bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include "update/VersionReply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);
  const auto lines = update::SplitReplyLines(reply);
  std::size_t kept = 0;
  for (const std::string& line : lines) {
    if (line.find_first_of("\r\n") != std::string::npos) std::abort();
    kept += line.size();
  }
  if (kept > reply.size()) std::abort();
  const auto version = update::ServerVersion(reply);
  if (version.has_value() != (lines.size() >= 4) || (version && *version != lines[3])) std::abort();
  const std::string installed = lines.empty() ? std::string() : lines[0];
  const std::string server = version.value_or(std::string());
  if (update::IsNewerVersion(installed, installed)) std::abort();
  if (update::IsNewerVersion(installed, server) && update::IsNewerVersion(server, installed)) std::abort();
  return 0;
}

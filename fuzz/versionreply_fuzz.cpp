// Fuzz target: the version reply's line splitting and the version
// comparison, and the downloader's URL split and announced length. The input
// is a reply; its first line also serves as the installed version, its fifth
// as a third version, its second as a download address and its third as a
// length. Checks what must hold for any bytes.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include "update/HTTPGet.h"
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
  // Transitive, with the fifth line as a third version.
  const std::string third = lines.size() > 4 ? lines[4] : std::string();
  for (const auto& [a, b, c] : {std::tuple{installed, server, third}, std::tuple{third, server, installed},
                                std::tuple{server, installed, third}, std::tuple{server, third, installed}})
    if (update::IsNewerVersion(a, b) && update::IsNewerVersion(b, c) && !update::IsNewerVersion(a, c)) std::abort();

  const std::string url = lines.size() > 1 ? lines[1] : reply;
  const update::DownloadTarget t = update::SplitDownloadURL(url);
  if (t.host.find('/') != std::string::npos || (!t.host.empty() && t.object.rfind('/', 0) != 0)) std::abort();
  if (t.port < 1 || t.port > 65535 || !url.ends_with(t.object) || url.find(t.host) == std::string::npos) std::abort();
  std::int64_t length = 0;
  const std::string text = lines.size() > 2 ? lines[2] : reply;
  if (update::ParseContentLength(text, length)) {
    if (length < 0) std::abort();
    const std::string digits = text.substr(std::min(text.find_first_not_of('0'), text.size() - 1));
    if (std::to_string(length) != digits) std::abort();
  }
  return 0;
}

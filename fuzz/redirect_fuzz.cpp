// Fuzz target: what the update's requests make of a reply's length and of
// a redirect's address. The first line is a Content-Length text, the second
// a Location, the third a status number. A length is taken only as plain
// decimal digits that fit and reads back as those digits; an address is a
// web address only with "http://" or "https://" and a host after it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include "update/HTTPGet.h"
#include "update/Redirect.h"

namespace {

std::string line(const std::string& text, int n) {
  std::size_t at = 0;
  for (int i = 0; i < n && at != std::string::npos; ++i) {
    at = text.find('\n', at);
    if (at != std::string::npos) ++at;
  }
  if (at == std::string::npos) return "";
  return text.substr(at, text.find('\n', at) - at);
}

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string length = line(input, 0), location = line(input, 1), status = line(input, 2);

  std::int64_t parsed = -1;
  if (update::ParseContentLength(length, parsed)) {
    if (parsed < 0 || length.find_first_not_of("0123456789") != std::string::npos) std::abort();
    const std::size_t first = length.find_first_not_of('0');
    if (std::to_string(parsed) != (first == std::string::npos ? "0" : length.substr(first))) std::abort();
  } else if (!length.empty() && length.find_first_not_of("0123456789") == std::string::npos &&
             length.find_first_not_of('0') != std::string::npos && length.size() - length.find_first_not_of('0') < 19) {
    std::abort();  // fewer than 19 digits always fit
  }

  const std::string scheme = lower(location.substr(0, 8));
  const bool http = scheme.rfind("http://", 0) == 0 && location.size() > 7 && location[7] != '/';
  const bool https = scheme == "https://" && location.size() > 8 && location[8] != '/';
  if (update::IsWebAddress(location) != (http || https)) std::abort();
  if (update::IsSecureAddress(location) != https) std::abort();
  if (update::IsSecureAddress(location)) {
    const update::DownloadTarget t = update::SplitDownloadURL(location);
    if (!t.secure || t.port < 1 || t.port > 65535 || !location.ends_with(t.object)) std::abort();
  }

  std::uint32_t code = 0;
  for (char c : status.substr(0, 9)) code = code * 10 + static_cast<std::uint32_t>(static_cast<unsigned char>(c) % 10);
  const bool redirect = code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
  if (update::IsRedirectStatus(code) != redirect) std::abort();
  return 0;
}

// Fuzz target: the update request's address and its parts. An address the
// split takes composes back into one with the same parts (the compose writes
// spaces as %20 and an empty path as "/"), composing that again changes
// nothing, and one written as the compose writes it comes back byte for
// byte. An address the split refuses leaves the URL as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include "platform/fake/FakeInternet.h"
#include "update/uAdvHttp.h"

namespace {

std::string spacesEncoded(const std::string& s) {
  std::string out;
  for (char c : s) out += c == ' ' ? std::string("%20") : std::string(1, c);
  return out;
}

struct Parts {
  std::string host, path, extra;
  int port;
  bool ssl;
  bool operator==(const Parts&) const = default;
};

Parts partsOf(const update::TAdvHttp& http) {
  return {http.HostName(), http.URLPath(), http.ExtraInfo(), http.Port(), http.SSL()};
}

// What the compose makes of the parts, said without it.
Parts composedParts(Parts p) {
  p.host = spacesEncoded(p.host);
  p.path = p.path.empty() ? "/" : spacesEncoded(p.path);
  p.extra = spacesEncoded(p.extra);
  return p;
}

// "http://" or "https://", a host, a port only where the compose writes one
// (any but 80 for http, always for https) without leading zeros, then a path
// from "/" on; no credentials, no spaces.
bool writtenAsComposed(const std::string& url) {
  const bool ssl = url.rfind("https://", 0) == 0;
  if (!ssl && url.rfind("http://", 0) != 0) return false;
  const std::string rest = url.substr(ssl ? 8 : 7);
  const std::size_t tail = rest.find_first_of("/?#");
  if (tail == std::string::npos || rest[tail] != '/' || rest.find(' ') != std::string::npos) return false;
  const std::string authority = rest.substr(0, tail);
  const std::size_t colon = authority.find(':');
  const std::string host = authority.substr(0, colon);
  if (host.empty() || host.find('@') != std::string::npos) return false;
  if (colon == std::string::npos) return !ssl;
  const std::string port = authority.substr(colon + 1);
  if (port.empty() || port.size() > 5 || port[0] == '0' || port.find_first_not_of("0123456789") != std::string::npos)
    return false;
  const int n = std::stoi(port);
  return n <= 65535 && (ssl || n != 80);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string url(reinterpret_cast<const char*>(data), size);
  fake::FakeGuiThread gui;
  fake::FakeInternet internet(gui);
  update::TAdvHttp http(internet);
  try {
    http.setURL(url);
  } catch (const update::EInetError&) {
    if (!http.URL().empty()) std::abort();  // refused: the URL keeps its old, empty value
    return 0;
  }
  if (http.URL() != url) std::abort();
  const Parts split = partsOf(http);
  if (split.port < 1 || split.port > 65535) std::abort();

  http.setPort(http.Port());  // composes the URL from its parts
  const std::string composed = http.URL();
  update::TAdvHttp again(internet);
  again.setURL(composed);  // throws, and so fails, when the split refuses what the compose made
  if (partsOf(again) != composedParts(split)) std::abort();
  again.setPort(again.Port());
  if (again.URL() != composed) std::abort();
  if (writtenAsComposed(url) && composed != url) std::abort();
  return 0;
}

#include "platform/fake/FakeInternet.h"

namespace fake {

bool FakeInternet::unreachable() {
  error_ = platform::inet::ErrorNameNotResolved;
  return false;
}

bool FakeInternet::sendRequest(platform::InternetHandle, const std::string&, const std::string&) {
  return unreachable();
}
bool FakeInternet::queryNumber(platform::InternetHandle, platform::HttpQuery, std::uint32_t&) { return unreachable(); }
bool FakeInternet::queryText(platform::InternetHandle, platform::HttpQuery, std::size_t, std::string&) {
  return unreachable();
}
bool FakeInternet::read(platform::InternetHandle, char*, std::uint32_t, std::uint32_t*) { return unreachable(); }

// scheme://[user[:password]@]host[:port][/path][?extra or #extra]
bool FakeInternet::crackUrl(const std::string& url, platform::UrlParts& parts) {
  const std::size_t colon = url.find("://");
  if (colon == std::string::npos || colon == 0) {
    error_ = 12006;  // the URL's form is not recognised
    return false;
  }
  platform::UrlParts p;
  p.scheme = url.substr(0, colon);
  std::string rest = url.substr(colon + 3);
  const std::size_t pathStart = rest.find_first_of("/?#");
  std::string authority = rest.substr(0, pathStart);
  std::string tail = pathStart == std::string::npos ? "" : rest.substr(pathStart);
  if (std::size_t at = authority.rfind('@'); at != std::string::npos) {
    std::string credentials = authority.substr(0, at);
    authority = authority.substr(at + 1);
    std::size_t c = credentials.find(':');
    p.user = credentials.substr(0, c);
    if (c != std::string::npos) p.password = credentials.substr(c + 1);
  }
  p.port = p.scheme == "https" ? 443 : p.scheme == "http" ? 80 : 0;
  if (std::size_t c = authority.find(':'); c != std::string::npos) {
    // Decimal digits that make a port number, or none at all. (Wine's crack
    // takes the leading digits of anything as a 16-bit number instead:
    // "8x" is 8, "65536" 0; the fake refuses what is no port.)
    const std::string digits = authority.substr(c + 1);
    if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi("0" + digits) > 65535) {
      error_ = 12005;  // the URL is not valid
      return false;
    }
    p.port = std::stoi("0" + digits);
    authority = authority.substr(0, c);
  }
  p.host = authority;
  const std::size_t extraStart = tail.find_first_of("?#");
  p.path = tail.substr(0, extraStart);
  if (extraStart != std::string::npos) p.extra = tail.substr(extraStart);
  parts = p;
  return true;
}

bool FakeInternet::combineUrl(const std::string& base, const std::string& relative, std::string& url) {
  std::string joined = relative.rfind("/", 0) == 0 ? base + relative : base + "/" + relative;
  url.clear();
  for (char c : joined) url += c == ' ' ? std::string("%20") : std::string(1, c);
  return true;
}

namespace {

class HeldFile : public platform::HeldFile {
 public:
  HeldFile(platform::SignatureVerdict verdict, std::string version)
      : verdict_(std::move(verdict)), version_(std::move(version)) {}
  platform::SignatureVerdict verifySignature() override { return verdict_; }
  std::string version() override { return version_; }

 private:
  platform::SignatureVerdict verdict_;
  std::string version_;
};

}  // namespace

std::unique_ptr<platform::HeldFile> FakeCodeSigning::hold(const std::string& path) {
  auto v = verdicts.find(path);
  auto version = versions.find(path);
  return std::make_unique<HeldFile>(v == verdicts.end() ? platform::SignatureVerdict{0x800B0100u, ""} : v->second,
                                    version == versions.end() ? "" : version->second);
}

}  // namespace fake

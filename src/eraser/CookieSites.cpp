#include "eraser/CookieSites.h"
#include <algorithm>
#include <cctype>

namespace eraser {

namespace {

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool endsWithIgnoringCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && lower(text.substr(text.size() - end.size())) == end;
}

// Dot-separated labels of letters, digits, "-" and "_", none empty. A
// cookie for a whole domain may be written with a leading dot.
std::optional<std::string> hostName(std::string host) {
  if (!host.empty() && host.front() == '.') host.erase(0, 1);
  if (host.empty() || host.back() == '.' || host.find("..") != std::string::npos) return std::nullopt;
  for (char c : host)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.') return std::nullopt;
  return lower(host);
}

// "user@host": the host after the last "@"; a user is always there.
std::optional<std::string> afterUser(const std::string& text) {
  const std::size_t at = text.rfind('@');
  if (at == std::string::npos || at == 0) return std::nullopt;
  return hostName(text.substr(at + 1));
}

}  // namespace

std::optional<std::string> SiteOfCookieFile(const std::string& fileName) {
  if (!endsWithIgnoringCase(fileName, ".txt")) return std::nullopt;
  std::string stem = fileName.substr(0, fileName.size() - 4);
  // The index the browser adds to tell files of one host apart: "[2]".
  if (!stem.empty() && stem.back() == ']') {
    const std::size_t open = stem.rfind('[');
    if (open == std::string::npos || open + 2 > stem.size() - 1) return std::nullopt;
    for (std::size_t i = open + 1; i + 1 < stem.size(); ++i)
      if (!std::isdigit(static_cast<unsigned char>(stem[i]))) return std::nullopt;
    stem.erase(open);
  }
  return afterUser(stem);
}

std::optional<std::string> SiteOfCookieEntry(const std::string& url) {
  constexpr std::size_t Prefix = 7;  // "Cookie:"
  if (url.size() <= Prefix || lower(url.substr(0, Prefix)) != "cookie:") return std::nullopt;
  const std::string rest = url.substr(Prefix);
  return afterUser(rest.substr(0, rest.find('/')));
}

std::optional<std::string> NormalizeSite(const std::string& typed) {
  std::string text = typed;
  const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
  text.erase(std::find_if_not(text.rbegin(), text.rend(), blank).base(), text.end());
  if (const std::size_t scheme = text.find("://"); scheme != std::string::npos) text.erase(0, scheme + 3);
  text = text.substr(0, text.find_first_of("/:?#"));
  return hostName(text);
}

bool SiteCovers(const std::string& site, const std::string& host) {
  if (site.empty() || host.size() < site.size()) return false;
  if (host.size() == site.size()) return host == site;
  return host.compare(host.size() - site.size(), site.size(), site) == 0 && host[host.size() - site.size() - 1] == '.';
}

KeptSites::KeptSites(std::vector<std::string> sites) {
  for (const std::string& s : sites)
    if (auto site = NormalizeSite(s)) add(*site);
}

bool KeptSites::add(const std::string& site) {
  const auto at = std::lower_bound(sites_.begin(), sites_.end(), site);
  if (at != sites_.end() && *at == site) return false;
  sites_.insert(at, site);
  return true;
}

bool KeptSites::remove(const std::string& site) {
  const auto at = std::find(sites_.begin(), sites_.end(), site);
  if (at == sites_.end()) return false;
  sites_.erase(at);
  return true;
}

bool KeptSites::keepsHost(const std::string& host) const {
  const std::string h = lower(host);
  return std::any_of(sites_.begin(), sites_.end(), [&h](const std::string& s) { return SiteCovers(s, h); });
}

bool KeptSites::keepsFile(const std::string& fileName) const {
  const auto host = SiteOfCookieFile(fileName);
  return host && keepsHost(*host);
}

bool KeptSites::keepsEntry(const std::string& url) const {
  const auto host = SiteOfCookieEntry(url);
  return host && keepsHost(*host);
}

}  // namespace eraser

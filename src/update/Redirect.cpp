#include "update/Redirect.h"
#include <cctype>

namespace update {

bool IsRedirectStatus(std::uint32_t status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

namespace {

// The scheme and its "://" start the address, followed by a host.
bool StartsWithScheme(const std::string& url, const std::string& scheme) {
  if (url.size() <= scheme.size() || url[scheme.size()] == '/') return false;
  for (std::size_t i = 0; i < scheme.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(url[i])) != scheme[i]) return false;
  return true;
}

}  // namespace

bool IsWebAddress(const std::string& url) { return StartsWithScheme(url, "http://") || IsSecureAddress(url); }

bool IsSecureAddress(const std::string& url) { return StartsWithScheme(url, "https://"); }

std::optional<std::string> RedirectAddress(platform::Internet& internet, const std::string& current,
                                           const std::string& location) {
  std::string next;
  if (location.empty() || !internet.combineUrl(current, location, next) || !IsWebAddress(next)) return std::nullopt;
  return next;
}

}  // namespace update

// The redirects the update's requests follow themselves: a handful at most,
// and only to web addresses, so that a server sending them in circles, or
// to ever longer addresses, ends in an error instead of a stream of requests.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include "platform/Internet.h"

namespace update {

inline constexpr int MaxRedirects = 5;

// 301, 302, 303, 307 and 308: the replies that name another address.
bool IsRedirectStatus(std::uint32_t status);
// "http://" or "https://" in any letter case, followed by a host.
bool IsWebAddress(const std::string& url);
// "https://" in any letter case.
bool IsSecureAddress(const std::string& url);
// The address a redirect from `current` to `location` leads to; nullopt
// when it does not resolve to a web address.
std::optional<std::string> RedirectAddress(platform::Internet& internet, const std::string& current,
                                           const std::string& location);

}  // namespace update

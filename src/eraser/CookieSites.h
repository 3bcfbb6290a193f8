// Which site a cookie belongs to, read from a cookie file's name
// ("user@mail.example.com[2].txt") or a cookie entry's URL
// ("Cookie:user@example.com/"), and the sites whose cookies an erase keeps:
// a kept site keeps its own cookies and those of its sub-domains.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace eraser {

// The host a cookie file's name names, in lower case; nothing for a name
// that is not of the form "user@host[N].txt" (the index may be missing).
std::optional<std::string> SiteOfCookieFile(const std::string& fileName);
// The host of a "Cookie:user@host/path" entry, in lower case; nothing for
// any other URL.
std::optional<std::string> SiteOfCookieEntry(const std::string& url);
// A site as a person types it ("Example.com", "http://www.example.com/x",
// ".example.com"), reduced to its host in lower case; nothing when no host
// name is there.
std::optional<std::string> NormalizeSite(const std::string& typed);
// True when `host` is `site` or one of its sub-domains; both in lower case.
bool SiteCovers(const std::string& site, const std::string& host);

// The sites whose cookies every erase keeps, sorted, each once.
class KeptSites {
 public:
  KeptSites() = default;
  explicit KeptSites(std::vector<std::string> sites);

  const std::vector<std::string>& sites() const { return sites_; }
  bool empty() const { return sites_.empty(); }
  // False, changing nothing, for a site already there.
  bool add(const std::string& site);
  bool remove(const std::string& site);

  bool keepsHost(const std::string& host) const;
  // A name or URL that names no host is never kept.
  bool keepsFile(const std::string& fileName) const;
  bool keepsEntry(const std::string& url) const;

 private:
  std::vector<std::string> sites_;
};

}  // namespace eraser

#include "eraser/CookieKeepList.h"
#include <set>
#include <stdexcept>
#include "settings/ListFile.h"

namespace eraser {

std::vector<std::string> SitesWithCookies(platform::Files& files, TIECache& cache, const std::string& cookieFolder) {
  std::set<std::string> sites;
  if (!cookieFolder.empty())
    for (const platform::FileEntry& e : files.find(cookieFolder + "\\*.txt"))
      if (auto site = SiteOfCookieFile(e.name)) sites.insert(*site);
  cache.setSearchPattern(TSearchPattern::spCookies);
  cache.DeleteEntriesWhere([&sites](const platform::CacheEntryInfo& entry) {
    if (auto site = SiteOfCookieEntry(entry.sourceUrl)) sites.insert(*site);
    return false;
  });
  return {sites.begin(), sites.end()};
}

CookieKeepList::CookieKeepList(platform::Files& files, settings::OwnFolder& ownFolder)
    : files_(files), ownFolder_(ownFolder) {}

void CookieKeepList::load() {
  kept_ = KeptSites();
  ownFolder_.removeLeftover(KeepListFileName);
  const std::string path = ownFolder_.pathOf(KeepListFileName);
  if (files_.find(path).empty()) return;
  const auto data = files_.readFile(path);
  if (!data) throw std::runtime_error("Cannot open file " + path);
  kept_ = KeptSites(settings::ParseListFile(*data));
}

bool CookieKeepList::add(const std::string& site) { return kept_.add(site) && save(); }
bool CookieKeepList::remove(const std::string& site) { return kept_.remove(site) && save(); }

bool CookieKeepList::save() { return ownFolder_.save(KeepListFileName, settings::FormatListFile(kept_.sites())); }

}  // namespace eraser

// The cookies to keep: the kept sites in memory and their list file
// "tarnwick_keep.txt" beside the program, in the list files' format, saved
// whole after every change through a temporary file, so it holds the old
// list or the new.
#pragma once
#include <string>
#include <vector>
#include "eraser/CookieSites.h"
#include "eraser/IECache.h"
#include "platform/Files.h"
#include "settings/OwnFolder.h"

namespace eraser {

inline constexpr const char* KeepListFileName = "tarnwick_keep.txt";

// The sites that have cookies now: the hosts of the cookie folder's files
// and of the cache's "Cookie:" entries, sorted, each once. Deletes nothing.
std::vector<std::string> SitesWithCookies(platform::Files& files, TIECache& cache, const std::string& cookieFolder);

class CookieKeepList {
 public:
  CookieKeepList(platform::Files& files, settings::OwnFolder& ownFolder);

  const KeptSites& kept() const { return kept_; }
  // Reads the list file; a missing file is an empty list. Throws "Cannot
  // open file %s" when the file is there but cannot be read.
  void load();
  // Adds or removes a site and saves; false when nothing changed or the
  // file could not be written (the list in memory has the change then).
  bool add(const std::string& site);
  bool remove(const std::string& site);

 private:
  bool save();

  platform::Files& files_;
  settings::OwnFolder& ownFolder_;
  KeptSites kept_;
};

}  // namespace eraser

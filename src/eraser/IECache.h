// TIECache: walks the browser's URL cache and deletes what a search selects:
// the content entries, the cookie entries ("Cookie:") or the history
// entries ("Visited:"). Failures never reach the caller; they end the walk.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include "platform/UrlCache.h"

namespace eraser {

enum class TFilterOption {
  NORMAL_ENTRY,
  STABLE_ENTRY,
  STICKY_ENTRY,
  COOKIE_ENTRY,
  URLHISTORY_ENTRY,
  TRACK_OFFLINE_ENTRY,
  TRACK_ONLINE_ENTRY,
  SPARSE_ENTRY,
  OCX_ENTRY
};
using TFilterOptions = std::set<TFilterOption>;

enum class TSearchPattern { spAll, spCookies, spHistory, spUrl };

class TIECache {
 public:
  // Tests for the cache library at once, as the program does when it starts.
  explicit TIECache(platform::UrlCache& cache);
  ~TIECache();
  TIECache(const TIECache&) = delete;
  TIECache& operator=(const TIECache&) = delete;

  void setFilterOptions(const TFilterOptions& options);
  TFilterOptions FilterOptions() const { return filterOptions_; }
  // The cache entry types of FilterOptions, OR-ed, as the search receives them.
  std::uint32_t filterWord() const { return filterWord_; }

  void setSearchPattern(TSearchPattern pattern) { searchPattern_ = pattern; }
  TSearchPattern SearchPattern() const { return searchPattern_; }

  // True once the library and its cache functions have been found; a
  // failed test is repeated next time.
  bool LibraryFound();

  // Error codes are the platform's: 0 found (or deleted), 259 no more
  // entries, 2 while the library is missing.
  std::uint32_t FindFirstEntry(std::uint64_t group);
  std::uint32_t FindNextEntry();
  std::uint32_t DeleteEntry(const std::string& url);
  // Deletes every entry that FilterOptions and SearchPattern select.
  void DeleteAllEntries();
  // The same walk, deleting only the entries `deleteIt` answers true for.
  void DeleteEntriesWhere(const std::function<bool(const platform::CacheEntryInfo&)>& deleteIt);

  const platform::CacheEntryInfo& currentEntry() const { return current_; }

 private:
  // Which family of cache searches the open search belongs to; its next
  // entries must come from the same family.
  enum class SearchKind { Extended, Plain };
  using FetchCall = std::function<bool(platform::CacheEntryInfo*, std::uint32_t&)>;

  std::optional<std::string> patternText() const;
  // The two-call size probe: ask for the size, then fetch into a buffer of it.
  std::uint32_t fetch(const FetchCall& call);
  void closeSearch();

  platform::UrlCache& cache_;
  TFilterOptions filterOptions_;
  std::uint32_t filterWord_ = 0;
  TSearchPattern searchPattern_ = TSearchPattern::spAll;
  bool libraryFound_ = false;
  platform::CacheSearch search_ = 0;
  SearchKind searchKind_ = SearchKind::Extended;
  platform::CacheEntryInfo current_;
};

}  // namespace eraser

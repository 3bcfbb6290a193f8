#include "eraser/IECache.h"

namespace eraser {

namespace {

constexpr std::uint32_t LibraryMissing = 2;  // ERROR_FILE_NOT_FOUND
constexpr std::uint32_t NoMoreItems = 259;   // ERROR_NO_MORE_ITEMS

std::uint32_t entryType(TFilterOption option) {
  switch (option) {
    case TFilterOption::NORMAL_ENTRY: return 0x1;
    case TFilterOption::STABLE_ENTRY: return 0x2;
    case TFilterOption::STICKY_ENTRY: return 0x4;
    case TFilterOption::COOKIE_ENTRY: return 0x100000;
    case TFilterOption::URLHISTORY_ENTRY: return 0x200000;
    case TFilterOption::TRACK_OFFLINE_ENTRY: return 0x10;
    case TFilterOption::TRACK_ONLINE_ENTRY: return 0x20;
    case TFilterOption::SPARSE_ENTRY: return 0x10000;
    case TFilterOption::OCX_ENTRY: return 0x20000;
  }
  return 0;
}

}  // namespace

TIECache::TIECache(platform::UrlCache& cache) : cache_(cache) {
  setFilterOptions({TFilterOption::NORMAL_ENTRY, TFilterOption::STICKY_ENTRY, TFilterOption::COOKIE_ENTRY,
                    TFilterOption::URLHISTORY_ENTRY, TFilterOption::TRACK_OFFLINE_ENTRY,
                    TFilterOption::TRACK_ONLINE_ENTRY});
}

TIECache::~TIECache() { closeSearch(); }

void TIECache::setFilterOptions(const TFilterOptions& options) {
  filterOptions_ = options;
  filterWord_ = 0;
  for (TFilterOption option : options) filterWord_ |= entryType(option);
}

bool TIECache::LibraryFound() {
  if (libraryFound_) return true;
  if (!cache_.loadLibrary()) return false;
  for (const char* name : {"FindFirstUrlCacheGroup", "FindNextUrlCacheGroup", "GetUrlCacheGroupAttributeA",
                           "SetUrlCacheGroupAttributeA", "FindFirstUrlCacheEntryExA"})
    if (!cache_.hasFunction(name)) return false;
  libraryFound_ = true;
  return true;
}

std::optional<std::string> TIECache::patternText() const {
  switch (searchPattern_) {
    case TSearchPattern::spCookies: return "Cookie:";
    case TSearchPattern::spHistory: return "Visited:";
    case TSearchPattern::spUrl: return "";  // the content entries: an empty pattern, not a missing one
    case TSearchPattern::spAll: break;
  }
  return std::nullopt;
}

std::uint32_t TIECache::fetch(const FetchCall& call) {
  std::uint32_t size = 0;
  call(nullptr, size);  // fails; an empty selection leaves the size at 0 and the next call fails too
  platform::CacheEntryInfo entry;
  if (!call(&entry, size)) return cache_.lastError();
  current_ = std::move(entry);
  return 0;
}

void TIECache::closeSearch() {
  if (search_) cache_.close(search_);
  search_ = 0;
}

std::uint32_t TIECache::FindFirstEntry(std::uint64_t group) {
  if (!LibraryFound()) return LibraryMissing;
  closeSearch();
  const std::optional<std::string> pattern = patternText();
  searchKind_ = SearchKind::Extended;
  std::uint32_t error = fetch([&](platform::CacheEntryInfo* entry, std::uint32_t& size) {
    search_ = cache_.findFirstEx(pattern, 0, filterWord_, group, entry, size);
    return search_ != 0;
  });
  // Some systems have the extended search only as a stub that always fails;
  // the plain search with the same pattern reaches the same entries, without
  // the filter word.
  if (error != 0 && error != NoMoreItems) {
    searchKind_ = SearchKind::Plain;
    error = fetch([&](platform::CacheEntryInfo* entry, std::uint32_t& size) {
      search_ = cache_.findFirst(pattern, entry, size);
      return search_ != 0;
    });
  }
  return error;
}

std::uint32_t TIECache::FindNextEntry() {
  if (!LibraryFound()) return LibraryMissing;
  return fetch([&](platform::CacheEntryInfo* entry, std::uint32_t& size) {
    return searchKind_ == SearchKind::Extended ? cache_.findNextEx(search_, entry, size)
                                               : cache_.findNext(search_, entry, size);
  });
}

std::uint32_t TIECache::DeleteEntry(const std::string& url) {
  if (!LibraryFound()) return LibraryMissing;
  if (!cache_.deleteEntry(url)) return cache_.lastError();
  current_ = {};
  return 0;
}

void TIECache::DeleteAllEntries() { DeleteEntriesWhere({}); }

void TIECache::DeleteEntriesWhere(const std::function<bool(const platform::CacheEntryInfo&)>& deleteIt) {
  if (!LibraryFound()) return;
  if (FindFirstEntry(0) == 0) {
    // Any failure ends the walk, not only the end of the search: another
    // error would repeat for ever.
    do {
      if (!deleteIt || deleteIt(current_)) DeleteEntry(current_.sourceUrl);
    } while (FindNextEntry() == 0);
  }
  // Closed even when the search never started: the handle is then null.
  cache_.close(search_);
  search_ = 0;
}

}  // namespace eraser

// A scripted URL cache for native tests: entries in three containers chosen
// by the URL's prefix ("Cookie:", "Visited:", anything else is content), the
// two-call size probe, searches by pattern and filter word, entries that
// refuse deletion, and every call recorded with its arguments.
#pragma once
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>
#include "platform/UrlCache.h"

namespace fake {

class FakeUrlCache : public platform::UrlCache {
 public:
  static constexpr std::uint32_t NoMoreItems = 259;
  static constexpr std::uint32_t InsufficientBuffer = 122;
  static constexpr std::uint32_t FileNotFound = 2;
  static constexpr std::uint32_t SharingViolation = 32;
  static constexpr std::uint32_t InvalidHandle = 6;

  struct Entry {
    std::string url;
    std::uint32_t type = 0;
    bool locked = false;  // deletion fails while the entry is in use
    std::uint64_t size = 0;
    std::string localFile;
  };
  struct Call {
    std::string name;  // the method: "findFirstEx", "findNext", "deleteEntry", ...
    std::optional<std::string> pattern;
    std::uint32_t flags = 0;
    std::uint32_t filter = 0;
    std::uint64_t group = 0;
    bool buffer = false;     // an entry buffer was passed
    std::uint32_t size = 0;  // the buffer size passed in
    platform::CacheSearch search = 0;
    std::string text;  // URL or function name
  };

  std::vector<Entry> entries;
  bool libraryPresent = true;
  std::set<std::string> missingFunctions;
  std::optional<std::uint32_t> exFailure;    // the Ex searches always fail with this error
  std::optional<std::uint32_t> nextFailure;  // every "next" call fails with this error
  std::vector<Call> calls;

  void add(const std::string& url, std::uint32_t type, bool locked = false, std::uint64_t size = 0) {
    entries.push_back({url, type, locked, size, ""});
  }
  bool contains(const std::string& url) const;
  std::vector<std::string> urls() const;
  std::vector<Call> callsOf(const std::string& name) const;
  std::size_t openSearches() const { return searches_.size(); }
  // What a record of this entry needs, as the size probe reports it.
  static std::uint32_t sizeOf(const Entry& e) { return 80 + static_cast<std::uint32_t>(e.url.size()) + 1; }

  bool loadLibrary() override;
  bool hasFunction(const std::string& name) override;
  platform::CacheSearch findFirstEx(const std::optional<std::string>& pattern, std::uint32_t flags,
                                    std::uint32_t filter, std::uint64_t group, platform::CacheEntryInfo* entry,
                                    std::uint32_t& size) override;
  bool findNextEx(platform::CacheSearch search, platform::CacheEntryInfo* entry, std::uint32_t& size) override;
  platform::CacheSearch findFirst(const std::optional<std::string>& pattern, platform::CacheEntryInfo* entry,
                                  std::uint32_t& size) override;
  bool findNext(platform::CacheSearch search, platform::CacheEntryInfo* entry, std::uint32_t& size) override;
  bool close(platform::CacheSearch search) override;
  bool deleteEntry(const std::string& url) override;
  std::uint32_t lastError() override { return lastError_; }

 private:
  struct Search {
    std::vector<std::string> selected;  // URLs the search admits, taken when it starts
    std::size_t next = 0;
  };
  platform::CacheSearch start(const std::optional<std::string>& pattern, std::optional<std::uint32_t> filter,
                              platform::CacheEntryInfo* entry, std::uint32_t& size);
  bool advance(platform::CacheSearch search, platform::CacheEntryInfo* entry, std::uint32_t& size);
  // Hands the search's next entry over when the buffer is big enough.
  bool deliver(Search& s, platform::CacheEntryInfo* entry, std::uint32_t& size);
  bool fail(std::uint32_t error);
  Call& record(const std::string& name, const platform::CacheEntryInfo* entry = nullptr, std::uint32_t size = 0);
  const Entry* find(const std::string& url) const;

  std::map<platform::CacheSearch, Search> searches_;
  platform::CacheSearch nextHandle_ = 0x100;
  std::uint32_t lastError_ = 0;
};

}  // namespace fake

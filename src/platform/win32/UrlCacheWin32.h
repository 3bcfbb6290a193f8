// The browser's URL cache through WinINet's cache functions, loaded by name
// so that a system without WinINet is noticed rather than fatal.
#pragma once
#include "platform/UrlCache.h"

namespace platform::win32 {

class UrlCache : public platform::UrlCache {
 public:
  bool loadLibrary() override;
  bool hasFunction(const std::string& name) override;
  CacheSearch findFirstEx(const std::optional<std::string>& pattern, std::uint32_t flags, std::uint32_t filter,
                          std::uint64_t group, CacheEntryInfo* entry, std::uint32_t& size) override;
  bool findNextEx(CacheSearch search, CacheEntryInfo* entry, std::uint32_t& size) override;
  CacheSearch findFirst(const std::optional<std::string>& pattern, CacheEntryInfo* entry,
                        std::uint32_t& size) override;
  bool findNext(CacheSearch search, CacheEntryInfo* entry, std::uint32_t& size) override;
  bool close(CacheSearch search) override;
  bool deleteEntry(const std::string& url) override;
  std::uint32_t lastError() override { return lastError_; }

 private:
  // Runs one WinINet call that fills an INTERNET_CACHE_ENTRY_INFOA buffer of
  // `size` bytes (none when `entry` is null), and copies the record out.
  template <typename Call>
  bool fetch(CacheEntryInfo* entry, std::uint32_t& size, Call call);
  bool succeeded(bool ok);

  void* library_ = nullptr;
  // Per thread, as the system's own: the erase preview walks the cache on
  // a worker while an erase may walk it on the GUI thread.
  static thread_local std::uint32_t lastError_;
};

}  // namespace platform::win32

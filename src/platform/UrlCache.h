// The browser's URL cache, shaped like the WinINet cache functions so the
// program's walk over it (two-call size probe, search handle, deletion) can
// run against a scripted cache.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

struct CacheEntryInfo {
  std::string sourceUrl;
  std::string localFile;
  std::uint32_t type = 0;
  std::uint64_t size = 0;  // the cached file's length in bytes
};

using CacheSearch = std::uintptr_t;  // 0: no search

class UrlCache {
 public:
  virtual ~UrlCache() = default;
  // LoadLibraryA("wininet.dll"); the library stays loaded.
  virtual bool loadLibrary() = 0;
  // GetProcAddress of `name` in the loaded library.
  virtual bool hasFunction(const std::string& name) = 0;

  // FindFirstUrlCacheEntryExA / FindNextUrlCacheEntryExA. `pattern` nullopt
  // passes no pattern. `entry` null passes no buffer; a buffer of `size`
  // bytes otherwise. When the buffer is missing or too small the call fails
  // with ERROR_INSUFFICIENT_BUFFER and sets `size` to what the entry needs.
  virtual CacheSearch findFirstEx(const std::optional<std::string>& pattern, std::uint32_t flags,
                                  std::uint32_t filter, std::uint64_t group, CacheEntryInfo* entry,
                                  std::uint32_t& size) = 0;
  virtual bool findNextEx(CacheSearch search, CacheEntryInfo* entry, std::uint32_t& size) = 0;
  // FindFirstUrlCacheEntryA / FindNextUrlCacheEntryA, with the same buffer rules.
  virtual CacheSearch findFirst(const std::optional<std::string>& pattern, CacheEntryInfo* entry,
                                std::uint32_t& size) = 0;
  virtual bool findNext(CacheSearch search, CacheEntryInfo* entry, std::uint32_t& size) = 0;
  virtual bool close(CacheSearch search) = 0;
  virtual bool deleteEntry(const std::string& url) = 0;
  // The platform's last error after a failed call.
  virtual std::uint32_t lastError() = 0;
};

}  // namespace platform

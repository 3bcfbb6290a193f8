#include "platform/win32/UrlCacheWin32.h"
#include <windows.h>
#include <wininet.h>
#include <vector>

namespace platform::win32 {

namespace {

const char* patternArg(const std::optional<std::string>& pattern) { return pattern ? pattern->c_str() : nullptr; }

CacheSearch toSearch(HANDLE h) { return reinterpret_cast<CacheSearch>(h); }
HANDLE toHandle(CacheSearch s) { return reinterpret_cast<HANDLE>(s); }

}  // namespace

thread_local std::uint32_t UrlCache::lastError_ = 0;

bool UrlCache::loadLibrary() {
  if (!library_) library_ = LoadLibraryA("wininet.dll");
  return library_ != nullptr;
}

bool UrlCache::hasFunction(const std::string& name) {
  return library_ && GetProcAddress(static_cast<HMODULE>(library_), name.c_str()) != nullptr;
}

bool UrlCache::succeeded(bool ok) {
  // Read at once: freeing the buffer afterwards may touch the last error.
  lastError_ = ok ? 0 : GetLastError();
  return ok;
}

template <typename Call>
bool UrlCache::fetch(CacheEntryInfo* entry, std::uint32_t& size, Call call) {
  std::vector<char> buffer(entry ? size : 0);
  auto* info = entry && size ? reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data()) : nullptr;
  DWORD bytes = entry ? size : 0;
  const bool ok = succeeded(call(info, &bytes));
  size = bytes;
  if (ok && info) {
    entry->sourceUrl = info->lpszSourceUrlName ? info->lpszSourceUrlName : "";
    entry->localFile = info->lpszLocalFileName ? info->lpszLocalFileName : "";
    entry->type = info->CacheEntryType;
    entry->size = (std::uint64_t{info->dwSizeHigh} << 32) | info->dwSizeLow;
  }
  return ok;
}

CacheSearch UrlCache::findFirstEx(const std::optional<std::string>& pattern, std::uint32_t flags,
                                  std::uint32_t filter, std::uint64_t group, CacheEntryInfo* entry,
                                  std::uint32_t& size) {
  HANDLE search = nullptr;
  fetch(entry, size, [&](INTERNET_CACHE_ENTRY_INFOA* info, DWORD* bytes) {
    search = FindFirstUrlCacheEntryExA(patternArg(pattern), flags, filter, static_cast<GROUPID>(group), info, bytes,
                                       nullptr, nullptr, nullptr);
    return search != nullptr;
  });
  return toSearch(search);
}

bool UrlCache::findNextEx(CacheSearch search, CacheEntryInfo* entry, std::uint32_t& size) {
  return fetch(entry, size, [&](INTERNET_CACHE_ENTRY_INFOA* info, DWORD* bytes) {
    return FindNextUrlCacheEntryExA(toHandle(search), info, bytes, nullptr, nullptr, nullptr) != FALSE;
  });
}

CacheSearch UrlCache::findFirst(const std::optional<std::string>& pattern, CacheEntryInfo* entry,
                                std::uint32_t& size) {
  HANDLE search = nullptr;
  fetch(entry, size, [&](INTERNET_CACHE_ENTRY_INFOA* info, DWORD* bytes) {
    search = FindFirstUrlCacheEntryA(patternArg(pattern), info, bytes);
    return search != nullptr;
  });
  return toSearch(search);
}

bool UrlCache::findNext(CacheSearch search, CacheEntryInfo* entry, std::uint32_t& size) {
  return fetch(entry, size, [&](INTERNET_CACHE_ENTRY_INFOA* info, DWORD* bytes) {
    return FindNextUrlCacheEntryA(toHandle(search), info, bytes) != FALSE;
  });
}

bool UrlCache::close(CacheSearch search) { return succeeded(FindCloseUrlCache(toHandle(search)) != FALSE); }

bool UrlCache::deleteEntry(const std::string& url) { return succeeded(DeleteUrlCacheEntryA(url.c_str()) != FALSE); }

}  // namespace platform::win32

// Making and looking up URL cache entries through WinINet, for the tests that
// prepare a cache and check what is left of it (cachetool and the Win32 tests).
#pragma once
#include <windows.h>
#include <wininet.h>
#include <string>

namespace cache_entries {

// The name prefix each kind of entry needs to land in its own container, and
// the entry type it is committed with.
struct Kind {
  const char* name;
  const char* prefix;
  DWORD type;
};
inline constexpr Kind Content{"content", "", NORMAL_CACHE_ENTRY};
inline constexpr Kind Cookie{"cookie", "Cookie:", COOKIE_CACHE_ENTRY};
inline constexpr Kind History{"history", "Visited:", URLHISTORY_CACHE_ENTRY};

// Commits `url` with a small local file, as the browser stores an entry.
inline bool commit(const std::string& url, DWORD type) {
  char file[MAX_PATH] = "";
  if (!CreateUrlCacheEntryA(url.c_str(), 0, "txt", file, 0)) return false;
  HANDLE h = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(h, "x", 1, &written, nullptr);
  CloseHandle(h);
  const FILETIME never{};
  return CommitUrlCacheEntryA(url.c_str(), file, never, never, type, nullptr, 0, nullptr, nullptr) != FALSE;
}

// An existing entry makes the size probe fail for want of a buffer; a
// missing one fails with ERROR_FILE_NOT_FOUND.
inline bool exists(const std::string& url) {
  DWORD size = 0;
  return !GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size) && GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

}  // namespace cache_entries

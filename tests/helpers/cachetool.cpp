// cachetool.exe: prepares and inspects the URL cache of a Wine prefix for the
// end-to-end tests.
//
// Usage:
//   cachetool add content|cookie|history URL
//       commits URL as an entry of that kind; a cookie's URL must begin
//       "Cookie:" and a history entry's "Visited:" (for example
//       "Cookie:user@example.test/", "Visited: user@http://example.test/")
//   cachetool list
//       prints every entry of the cache, one a line: the entry type in eight
//       hex digits, a space, the URL; e.g. "00100000 Cookie:user@example.test/"
// Exit code 0 on success, 1 when a cache call failed, 2 on a usage error.
#include <fcntl.h>
#include <io.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "CacheEntries.h"

namespace {

int usage() {
  std::fprintf(stderr, "usage: cachetool add content|cookie|history URL | cachetool list\n");
  return 2;
}

int add(const std::string& kindName, const std::string& url) {
  for (const cache_entries::Kind& kind : {cache_entries::Content, cache_entries::Cookie, cache_entries::History}) {
    if (kindName != kind.name) continue;
    if (url.rfind(kind.prefix, 0) != 0) return usage();
    if (cache_entries::commit(url, kind.type)) return 0;
    std::fprintf(stderr, "cannot commit %s: error %lu\n", url.c_str(), GetLastError());
    return 1;
  }
  return usage();
}

// Fetches the next entry into `buffer` with a size probe first; `call` is the
// plain search's first or next function bound to its arguments.
template <typename Call>
bool fetch(std::vector<char>& buffer, Call call) {
  DWORD size = 0;
  call(nullptr, &size);
  buffer.assign(size ? size : 1, 0);
  return call(reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data()), &size);
}

void print(const std::vector<char>& buffer) {
  const auto* info = reinterpret_cast<const INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
  std::printf("%08lx %s\n", info->CacheEntryType, info->lpszSourceUrlName);
}

// The plain search: it works where the extended one is only a stub.
int list() {
  _setmode(_fileno(stdout), _O_BINARY);  // lines end in "\n" alone
  std::vector<char> buffer;
  HANDLE search = nullptr;
  const bool found = fetch(buffer, [&](INTERNET_CACHE_ENTRY_INFOA* info, DWORD* size) {
    search = FindFirstUrlCacheEntryA(nullptr, info, size);
    return search != nullptr;
  });
  if (!found) {
    const DWORD error = GetLastError();
    if (error == ERROR_NO_MORE_ITEMS) return 0;
    std::fprintf(stderr, "cannot start the cache search: error %lu\n", error);
    return 1;
  }
  do {
    print(buffer);
  } while (fetch(buffer, [&](INTERNET_CACHE_ENTRY_INFOA* info, DWORD* size) {
    return FindNextUrlCacheEntryA(search, info, size) != FALSE;
  }));
  const DWORD error = GetLastError();
  FindCloseUrlCache(search);
  std::fflush(stdout);
  if (error == ERROR_NO_MORE_ITEMS) return 0;
  std::fprintf(stderr, "the cache search broke off: error %lu\n", error);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "add") == 0) return add(argv[2], argv[3]);
  if (argc == 2 && std::strcmp(argv[1], "list") == 0) return list();
  return usage();
}

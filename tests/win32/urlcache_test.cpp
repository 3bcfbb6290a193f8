// The URL cache service and the cache walk against WinINet's real cache:
// which entries each search pattern reaches, and that erasing one kind of
// entry leaves the other kinds alone.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>
#include "../helpers/CacheEntries.h"
#include "eraser/IECache.h"
#include "platform/win32/UrlCacheWin32.h"

using eraser::TIECache;
using eraser::TSearchPattern;

namespace {

bool underWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

// One entry of each kind, named uniquely per test so that earlier runs in
// the same prefix do not count.
struct Entries {
  std::string content, contentToo, cookie, history;
};

Entries commitOneOfEach(const std::string& tag) {
  Entries e{"http://" + tag + ".example.test/page.html", "http://" + tag + ".example.test/logo.gif",
            "Cookie:user@" + tag + ".example.test/", "Visited: user@http://" + tag + ".example.test/"};
  EXPECT_TRUE(cache_entries::commit(e.content, NORMAL_CACHE_ENTRY)) << GetLastError();
  EXPECT_TRUE(cache_entries::commit(e.contentToo, NORMAL_CACHE_ENTRY)) << GetLastError();
  EXPECT_TRUE(cache_entries::commit(e.cookie, COOKIE_CACHE_ENTRY)) << GetLastError();
  EXPECT_TRUE(cache_entries::commit(e.history, URLHISTORY_CACHE_ENTRY)) << GetLastError();
  return e;
}

// Every URL a search reaches, fetched through the service with the size probe.
std::vector<std::string> plainSearch(platform::UrlCache& cache, const std::optional<std::string>& pattern) {
  std::vector<std::string> urls;
  platform::CacheEntryInfo entry;
  std::uint32_t size = 0;
  EXPECT_EQ(cache.findFirst(pattern, nullptr, size), 0u);
  const platform::CacheSearch search = cache.findFirst(pattern, &entry, size);
  if (!search) return urls;
  do {
    urls.push_back(entry.sourceUrl);
    size = 0;
    EXPECT_FALSE(cache.findNext(search, nullptr, size));
  } while (cache.findNext(search, &entry, size));
  EXPECT_EQ(cache.lastError(), static_cast<std::uint32_t>(ERROR_NO_MORE_ITEMS));
  EXPECT_TRUE(cache.close(search));
  return urls;
}

bool reaches(const std::vector<std::string>& urls, const std::string& url) {
  return std::find(urls.begin(), urls.end(), url) != urls.end();
}

std::size_t countWithPrefix(const std::vector<std::string>& urls, const std::string& prefix) {
  return std::count_if(urls.begin(), urls.end(), [&](const std::string& u) { return u.rfind(prefix, 0) == 0; });
}

}  // namespace

TEST(UrlCacheWin32, PlainSearchPatternsReachTheirOwnContainer) {
  platform::win32::UrlCache cache;
  ASSERT_TRUE(cache.loadLibrary());
  EXPECT_TRUE(cache.hasFunction("FindFirstUrlCacheEntryExA"));
  EXPECT_FALSE(cache.hasFunction("NoSuchCacheFunction"));
  const Entries e = commitOneOfEach("patterns");

  const auto all = plainSearch(cache, std::nullopt);
  for (const std::string& url : {e.content, e.cookie, e.history}) EXPECT_TRUE(reaches(all, url)) << url;
  const auto content = plainSearch(cache, "");
  EXPECT_TRUE(reaches(content, e.content));
  EXPECT_EQ(countWithPrefix(content, "Cookie:") + countWithPrefix(content, "Visited:"), 0u);
  const auto cookies = plainSearch(cache, "Cookie:");
  EXPECT_TRUE(reaches(cookies, e.cookie));
  EXPECT_EQ(countWithPrefix(cookies, "Cookie:"), cookies.size());
  const auto history = plainSearch(cache, "Visited:");
  EXPECT_TRUE(reaches(history, e.history));
  EXPECT_EQ(countWithPrefix(history, "Visited:"), history.size());

  // The size probe fails for want of a buffer and tells the size.
  std::uint32_t size = 0;
  platform::CacheEntryInfo entry;
  EXPECT_EQ(cache.findFirst("Cookie:", nullptr, size), 0u);
  EXPECT_EQ(cache.lastError(), static_cast<std::uint32_t>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_GT(size, sizeof(INTERNET_CACHE_ENTRY_INFOA));
  const platform::CacheSearch search = cache.findFirst("Cookie:", &entry, size);
  ASSERT_NE(search, 0u);
  EXPECT_EQ(entry.type & COOKIE_CACHE_ENTRY, static_cast<std::uint32_t>(COOKIE_CACHE_ENTRY));
  EXPECT_NE(entry.localFile, "");
  cache.close(search);

  if (underWine()) {
    // Wine has the extended search only as a stub.
    size = 0;
    EXPECT_EQ(cache.findFirstEx(std::nullopt, 0, 0x300035, 0, &entry, size), 0u);
    EXPECT_EQ(cache.lastError(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
  }
  EXPECT_TRUE(cache.deleteEntry(e.cookie));
  EXPECT_FALSE(cache_entries::exists(e.cookie));
  EXPECT_FALSE(cache.deleteEntry(e.cookie));
  EXPECT_EQ(cache.lastError(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
}

TEST(UrlCacheWin32, EachSearchPatternErasesExactlyItsKind) {
  platform::win32::UrlCache cache;
  TIECache ie(cache);
  ASSERT_TRUE(ie.LibraryFound());

  const Entries e = commitOneOfEach("kinds");
  for (const std::string& url : {e.content, e.contentToo, e.cookie, e.history})
    ASSERT_TRUE(cache_entries::exists(url)) << url;

  ie.setSearchPattern(TSearchPattern::spCookies);
  ie.DeleteAllEntries();
  EXPECT_FALSE(cache_entries::exists(e.cookie));
  EXPECT_TRUE(cache_entries::exists(e.history));
  EXPECT_TRUE(cache_entries::exists(e.content));

  ie.setSearchPattern(TSearchPattern::spHistory);
  ie.DeleteAllEntries();
  EXPECT_FALSE(cache_entries::exists(e.history));
  EXPECT_TRUE(cache_entries::exists(e.content));
  EXPECT_TRUE(cache_entries::exists(e.contentToo));

  const Entries more = commitOneOfEach("kinds-again");
  ie.setSearchPattern(TSearchPattern::spUrl);
  ie.DeleteAllEntries();
  for (const std::string& url : {e.content, e.contentToo, more.content, more.contentToo})
    EXPECT_FALSE(cache_entries::exists(url)) << url;  // deleting under the walk skips nothing
  EXPECT_TRUE(cache_entries::exists(more.cookie));
  EXPECT_TRUE(cache_entries::exists(more.history));

  ie.setSearchPattern(TSearchPattern::spAll);
  ie.DeleteAllEntries();
  EXPECT_FALSE(cache_entries::exists(more.cookie));
  EXPECT_FALSE(cache_entries::exists(more.history));
  EXPECT_EQ(ie.FindFirstEntry(0), static_cast<std::uint32_t>(ERROR_NO_MORE_ITEMS));
}

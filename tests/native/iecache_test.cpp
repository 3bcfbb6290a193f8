// The URL cache walk against the scripted cache: what each search receives,
// what each pattern deletes, and how failures end the walk.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "eraser/IECache.h"
#include "platform/fake/FakeUrlCache.h"

using eraser::TFilterOption;
using eraser::TIECache;
using eraser::TSearchPattern;
using fake::FakeUrlCache;

namespace {

constexpr std::uint32_t MainWindowFilter = 0x300035;

struct IECache : ::testing::Test {
  FakeUrlCache cache;

  void fill() {
    cache.add("http://example.test/", 0x1);
    cache.add("Cookie:user@example.test/", 0x100000);
    cache.add("http://example.test/logo.gif", 0x4);
    cache.add("Visited: user@http://example.test/", 0x200000);
    cache.add("Cookie:user@other.test/", 0x100000);
  }
};

}  // namespace

TEST_F(IECache, FilterWordFollowsTheOptions) {
  TIECache ie(cache);
  EXPECT_EQ(ie.FilterOptions(), (eraser::TFilterOptions{TFilterOption::NORMAL_ENTRY, TFilterOption::STICKY_ENTRY,
                                                        TFilterOption::COOKIE_ENTRY, TFilterOption::URLHISTORY_ENTRY,
                                                        TFilterOption::TRACK_OFFLINE_ENTRY,
                                                        TFilterOption::TRACK_ONLINE_ENTRY}));
  EXPECT_EQ(ie.filterWord(), MainWindowFilter);
  EXPECT_EQ(ie.SearchPattern(), TSearchPattern::spAll);

  ie.setFilterOptions({});
  EXPECT_EQ(ie.filterWord(), 0u);
  ie.setFilterOptions({TFilterOption::STABLE_ENTRY, TFilterOption::SPARSE_ENTRY, TFilterOption::OCX_ENTRY});
  EXPECT_EQ(ie.filterWord(), 0x30002u);
  cache.add("http://example.test/", 0x1);
  ASSERT_EQ(ie.FindFirstEntry(7), 259u);  // the content entry's type is not in the filter
  EXPECT_EQ(cache.callsOf("findFirstEx").back().filter, 0x30002u);
  EXPECT_EQ(cache.callsOf("findFirstEx").back().group, 7u);
}

TEST_F(IECache, EverySearchGetsThePatternFilterAndASizedBuffer) {
  struct Case {
    TSearchPattern pattern;
    std::optional<std::string> text;
  };
  for (const Case& c : {Case{TSearchPattern::spAll, std::nullopt}, Case{TSearchPattern::spCookies, "Cookie:"},
                        Case{TSearchPattern::spHistory, "Visited:"}, Case{TSearchPattern::spUrl, ""}}) {
    SCOPED_TRACE(c.text.value_or("(none)"));
    cache.calls.clear();
    fill();
    TIECache ie(cache);
    ie.setSearchPattern(c.pattern);
    ie.DeleteAllEntries();

    const auto first = cache.callsOf("findFirstEx");
    ASSERT_EQ(first.size(), 2u);
    for (const auto& call : first) {
      EXPECT_EQ(call.pattern, c.text);  // "" stays an empty pattern, it never becomes a missing one
      EXPECT_EQ(call.filter, MainWindowFilter);
      EXPECT_EQ(call.flags, 0u);
      EXPECT_EQ(call.group, 0u);
    }
    EXPECT_FALSE(first[0].buffer);
    EXPECT_EQ(first[0].size, 0u);
    EXPECT_TRUE(first[1].buffer);
    EXPECT_GT(first[1].size, 0u);

    // Every next entry is fetched the same way: a probe without a buffer,
    // then a buffer of the size the probe reported.
    // The end of the search reports no size, so the last fetch gets none.
    const auto next = cache.callsOf("findNextEx");
    ASSERT_EQ(next.size() % 2, 0u);
    ASSERT_FALSE(next.empty());
    for (std::size_t i = 0; i < next.size(); i += 2) {
      EXPECT_FALSE(next[i].buffer);
      EXPECT_EQ(next[i].size, 0u);
      EXPECT_TRUE(next[i + 1].buffer);
      EXPECT_EQ(next[i + 1].size > 0, i + 2 < next.size());
    }
    EXPECT_TRUE(cache.callsOf("findFirst").empty());
    EXPECT_EQ(cache.openSearches(), 0u);
    cache.entries.clear();
  }
}

TEST_F(IECache, EachPatternDeletesOnlyItsKindWithEitherSearch) {
  struct Case {
    TSearchPattern pattern;
    std::vector<std::string> left;
  };
  const std::vector<Case> cases = {
      {TSearchPattern::spCookies,
       {"http://example.test/", "http://example.test/logo.gif", "Visited: user@http://example.test/"}},
      {TSearchPattern::spHistory,
       {"http://example.test/", "Cookie:user@example.test/", "http://example.test/logo.gif",
        "Cookie:user@other.test/"}},
      {TSearchPattern::spUrl,
       {"Cookie:user@example.test/", "Visited: user@http://example.test/", "Cookie:user@other.test/"}},
      {TSearchPattern::spAll, {}},
  };
  for (bool extendedStub : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(extendedStub ? "plain search, " : "extended search, ") +
                   std::to_string(static_cast<int>(c.pattern)));
      cache.entries.clear();
      cache.calls.clear();
      if (extendedStub) cache.exFailure = FakeUrlCache::FileNotFound;
      fill();
      TIECache ie(cache);
      ie.setSearchPattern(c.pattern);
      ie.DeleteAllEntries();
      EXPECT_EQ(cache.urls(), c.left);
      EXPECT_EQ(cache.openSearches(), 0u);
      EXPECT_EQ(cache.callsOf("findFirst").empty(), !extendedStub);
    }
  }
}

TEST_F(IECache, FallsBackToThePlainSearchWhenTheExtendedOneIsAStub) {
  cache.exFailure = FakeUrlCache::FileNotFound;
  fill();
  TIECache ie(cache);
  ie.setSearchPattern(TSearchPattern::spCookies);

  ASSERT_EQ(ie.FindFirstEntry(0), 0u);
  EXPECT_EQ(ie.currentEntry().sourceUrl, "Cookie:user@example.test/");
  const auto plain = cache.callsOf("findFirst");
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_EQ(plain[0].pattern, std::optional<std::string>("Cookie:"));
  EXPECT_FALSE(plain[0].buffer);
  EXPECT_TRUE(plain[1].buffer);
  EXPECT_EQ(plain[1].size, FakeUrlCache::sizeOf(cache.entries[1]));

  // The search goes on with the functions that started it.
  const std::size_t extendedNexts = cache.callsOf("findNextEx").size();
  ASSERT_EQ(ie.FindNextEntry(), 0u);
  EXPECT_EQ(ie.currentEntry().sourceUrl, "Cookie:user@other.test/");
  EXPECT_EQ(ie.FindNextEntry(), 259u);
  EXPECT_EQ(cache.callsOf("findNextEx").size(), extendedNexts);
  EXPECT_EQ(cache.callsOf("findNext").size(), 4u);
  EXPECT_NE(cache.callsOf("findNext")[0].search, 0u);
}

TEST_F(IECache, AnEntryThatCannotBeDeletedStaysAndTheWalkGoesOn) {
  cache.add("http://example.test/a", 0x1);
  cache.add("http://example.test/in-use", 0x1, true);
  cache.add("http://example.test/b", 0x1);
  TIECache ie(cache);
  ie.setSearchPattern(TSearchPattern::spUrl);

  ASSERT_EQ(ie.FindFirstEntry(0), 0u);
  ASSERT_EQ(ie.FindNextEntry(), 0u);
  EXPECT_EQ(ie.DeleteEntry(ie.currentEntry().sourceUrl), FakeUrlCache::SharingViolation);
  EXPECT_EQ(ie.currentEntry().sourceUrl, "http://example.test/in-use");  // kept after a failed deletion
  EXPECT_EQ(ie.DeleteEntry("http://example.test/a"), 0u);
  EXPECT_EQ(ie.currentEntry().sourceUrl, "");  // cleared after a successful one

  cache.add("http://example.test/a", 0x1);
  ie.DeleteAllEntries();
  EXPECT_EQ(cache.urls(), std::vector<std::string>{"http://example.test/in-use"});
  EXPECT_EQ(cache.callsOf("deleteEntry").size(), 2u + 3u);
  EXPECT_EQ(cache.openSearches(), 0u);
}

TEST_F(IECache, AFailureOtherThanTheEndStopsTheWalk) {
  fill();
  cache.nextFailure = 5;  // ERROR_ACCESS_DENIED, on every call for good
  TIECache ie(cache);
  ie.DeleteAllEntries();
  EXPECT_EQ(cache.callsOf("deleteEntry").size(), 1u);
  EXPECT_EQ(cache.callsOf("findNextEx").size(), 2u);
  EXPECT_EQ(cache.urls().size(), 4u);
  EXPECT_EQ(cache.callsOf("close").size(), 1u);
  EXPECT_EQ(cache.openSearches(), 0u);
}

TEST_F(IECache, NothingSelectedDeletesNothingAndStillCloses) {
  TIECache ie(cache);
  ie.setSearchPattern(TSearchPattern::spUrl);
  EXPECT_EQ(ie.FindFirstEntry(0), 259u);
  ie.DeleteAllEntries();
  EXPECT_TRUE(cache.callsOf("deleteEntry").empty());
  EXPECT_TRUE(cache.callsOf("findNextEx").empty());
  // The end of an empty search is no failure of the extended search.
  EXPECT_TRUE(cache.callsOf("findFirst").empty());
  ASSERT_EQ(cache.callsOf("close").size(), 1u);
  EXPECT_EQ(cache.callsOf("close")[0].search, 0u);

  cache.add("Cookie:user@example.test/", 0x100000);
  cache.calls.clear();
  ie.setSearchPattern(TSearchPattern::spHistory);
  ie.DeleteAllEntries();
  EXPECT_TRUE(cache.callsOf("deleteEntry").empty());
  EXPECT_EQ(cache.urls().size(), 1u);
}

TEST_F(IECache, WithoutTheLibraryNothingHappensAndTheTestIsRepeated) {
  fill();
  cache.missingFunctions = {"SetUrlCacheGroupAttributeA"};
  TIECache ie(cache);
  EXPECT_FALSE(ie.LibraryFound());
  std::vector<std::string> asked;
  for (const auto& call : cache.callsOf("hasFunction")) asked.push_back(call.text);
  EXPECT_EQ(asked, (std::vector<std::string>{"FindFirstUrlCacheGroup", "FindNextUrlCacheGroup",
                                             "GetUrlCacheGroupAttributeA", "SetUrlCacheGroupAttributeA"}));

  cache.libraryPresent = false;
  EXPECT_FALSE(ie.LibraryFound());
  EXPECT_EQ(ie.FindFirstEntry(0), 2u);
  EXPECT_EQ(ie.FindNextEntry(), 2u);
  EXPECT_EQ(ie.DeleteEntry("http://example.test/"), 2u);
  ie.DeleteAllEntries();
  for (const auto& call : cache.calls) EXPECT_TRUE(call.name == "loadLibrary" || call.name == "hasFunction") << call.name;
  EXPECT_EQ(cache.urls().size(), 5u);

  cache.libraryPresent = true;
  cache.missingFunctions.clear();
  EXPECT_TRUE(ie.LibraryFound());
  EXPECT_EQ(cache.callsOf("hasFunction").back().text, "FindFirstUrlCacheEntryExA");
  const std::size_t loads = cache.callsOf("loadLibrary").size();
  EXPECT_TRUE(ie.LibraryFound());
  ie.DeleteAllEntries();
  EXPECT_EQ(cache.callsOf("loadLibrary").size(), loads);  // a found library is not looked for again
  EXPECT_TRUE(cache.entries.empty());
}

// The IE-window queries against scripted top-level windows: which windows
// count, how titles are read, cut and shortened, and what the lookups find.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "platform/fake/FakeRegistry.h"
#include "platform/fake/FakeTime.h"
#include "platform/fake/FakeWindows.h"
#include "popup/IEWindows.h"

using popup::IEWindow;

namespace {

const std::string Suffix = " - Microsoft Internet Explorer";

struct IEWindows : ::testing::Test {
  fake::FakeWindows w;
  fake::FakeTime time;
  popup::WindowCensus census{w, time};
  fake::FakeWindow& ie(platform::WindowId id, const std::string& title) {
    return w.add({id, "IEFrame", title, 9});
  }
};

}  // namespace

TEST_F(IEWindows, TitleListHasOneLinePerWindowBearingAnIETitle) {
  ie(1, "News" + Suffix);
  ie(2, "Twin" + Suffix);
  w.add({3, "Notepad", "news" + Suffix, 4, false});  // hidden, not IE, an IE title in other letter case
  ie(4, "Twin" + Suffix).visible = false;
  ie(5, "Plain");
  w.add({6, "Shell_TrayWnd", "Taskbar", 4});
  ie(7, std::string(300, 'L'));
  ie(8, std::string(254, 'M'));

  EXPECT_EQ(
      popup::EnumIEWindowTitles(w),
      (std::vector<IEWindow>{{"News" + Suffix, 1},
                             {"Twin" + Suffix, 2},
                             {"News" + Suffix, 1},  // the non-IE window's copy, with the IE window's title
                             {"Twin" + Suffix, 2},  // the second twin: the first one's handle
                             {"Plain", 5},
                             {std::string(254, 'M'), 8}}))
      << "the 300-character title is cut to 254 and then finds no window";
}

TEST_F(IEWindows, LookupTakesWholeTitlesIgnoringCaseAndOnlyIEWindows) {
  w.add({1, "Notepad", "News" + Suffix, 4});
  ie(2, "NEWS" + Suffix);
  ie(3, "News" + Suffix);
  ie(4, "Plain");

  // An entry is matched as entry plus suffix; the first IE window in Z order wins.
  EXPECT_EQ(popup::FindIEWindowByTitle(w, "News" + Suffix), 2u);
  EXPECT_EQ(popup::FindIEWindowByTitle(w, "news" + Suffix), 2u);
  EXPECT_EQ(popup::FindIEWindowByTitle(w, "News"), 0u) << "no prefix match";
  EXPECT_EQ(popup::FindIEWindowByTitle(w, "Plain" + Suffix), 0u)
      << "a title without the suffix is never matched";
  EXPECT_EQ(popup::FindIEWindowByTitle(w, "Plai"), 0u);
  EXPECT_EQ(popup::FindIEWindowByTitle(w, "Plain"), 4u);
}

TEST(IEWindowTitles, SuffixRemovalIsExactAndTakesEveryOccurrence) {
  EXPECT_EQ(popup::StripIETitleSuffix("News" + Suffix), "News");
  EXPECT_EQ(popup::StripIETitleSuffix("Plain"), "Plain");
  EXPECT_EQ(popup::StripIETitleSuffix(""), "");
  EXPECT_EQ(popup::StripIETitleSuffix("News - microsoft internet explorer"),
            "News - microsoft internet explorer");
  EXPECT_EQ(popup::StripIETitleSuffix("A" + Suffix + "B" + Suffix + Suffix), "AB");
  EXPECT_EQ(popup::StripIETitleSuffix(Suffix.substr(1)), Suffix.substr(1))
      << "the leading blank is part of it";
  // What is left after a removal is not searched again.
  EXPECT_EQ(popup::StripIETitleSuffix("X - Microsoft Internet" + Suffix + " Explorer"),
            "X - Microsoft Internet Explorer");
}

TEST_F(IEWindows, VisibleListLeavesOutHiddenOwnedAndToolWindows) {
  ie(1, "Top" + Suffix);
  ie(2, "Hidden").visible = false;
  ie(3, "Owned").owner = 1;
  ie(4, "Desktop owned").owner = w.desktopWindow;
  ie(5, "Tool").exStyle = platform::ExStyleToolWindow | 0x8;
  w.add({6, "ieframe", "Other case class", 9});
  w.add({7, "Notepad", "Top" + Suffix, 4});
  ie(8, std::string(200, 'V'));
  ie(9, "Styled").exStyle = 0x8;  // topmost, not a tool window

  EXPECT_EQ(popup::EnumVisibleIEWindows(w, census),
            (std::vector<IEWindow>{
                {"Top" + Suffix, 1}, {"Desktop owned", 4}, {std::string(128, 'V'), 8}, {"Styled", 9}}));

  // The title list takes them all, whatever their state.
  std::vector<platform::WindowId> listed;
  for (auto& e : popup::EnumIEWindowTitles(w)) listed.push_back(e.handle);
  EXPECT_EQ(listed, (std::vector<platform::WindowId>{1, 2, 3, 4, 5, 6, 1, 8, 9}))
      << "the lower-case class is found by the lookup, which ignores case; the 200-character title is whole";
}

// One enumeration serves for a moment; a window's class is asked when it is
// first seen and never again while it lives.
TEST_F(IEWindows, TheCensusAsksEachClassOnceAndServesForAMoment) {
  ie(1, "One");
  w.add({2, "Notepad", "Two", 4});
  using Entries = std::vector<std::pair<platform::WindowId, std::string>>;
  auto taken = [&] {
    Entries out;
    for (const auto& e : census.take()) out.emplace_back(e.id, e.cls);
    return out;
  };
  EXPECT_EQ(taken(), (Entries{{1, "IEFrame"}, {2, "Notepad"}}));
  w.windows.insert(w.windows.begin(), fake::FakeWindow{3, "IEFrame", "Three", 9});
  time.advance(popup::WindowCensus::ShareMs - 1);
  EXPECT_EQ(taken().size(), 2u) << "still the same moment";
  time.advance(1);
  EXPECT_EQ(taken(), (Entries{{3, "IEFrame"}, {1, "IEFrame"}, {2, "Notepad"}}));
  w.windows.pop_back();
  census.retake();
  EXPECT_EQ(taken(), (Entries{{3, "IEFrame"}, {1, "IEFrame"}})) << "taken again when asked to";
  EXPECT_EQ(w.enumerations, 3);
  EXPECT_EQ(w.asked["class"], 3);
  EXPECT_TRUE(popup::IsIEWindowClass("ieframe") && popup::IsIEWindowClass("IEFRAME"));
  EXPECT_FALSE(popup::IsIEWindowClass("IEFrame2") || popup::IsIEWindowClass("IEFram"));
}

TEST_F(IEWindows, ActiveWindowIsTheIEWindowBearingTheForegroundTitle) {
  ie(1, "Page" + Suffix);
  ie(2, "");
  ie(3, std::string(260, 'A'));
  w.add({4, "Notepad", "PAGE" + Suffix, 4});
  w.add({5, "Notepad", "Elsewhere", 4});

  w.foregroundWindow = 1;
  EXPECT_EQ(popup::GetActiveIEWindow(w), (IEWindow{"Page" + Suffix, 1}));
  // Not itself an IE window, but an IE window bears its title: the IE
  // window's own title comes back.
  w.foregroundWindow = 4;
  EXPECT_EQ(popup::GetActiveIEWindow(w), (IEWindow{"Page" + Suffix, 1}));
  w.foregroundWindow = 5;
  EXPECT_EQ(popup::GetActiveIEWindow(w), std::nullopt);
  w.foregroundWindow = 3;
  EXPECT_EQ(popup::GetActiveIEWindow(w), std::nullopt) << "a cut title finds no window";
  w.foregroundWindow = 0;
  EXPECT_EQ(popup::GetActiveIEWindow(w), std::nullopt)
      << "no foreground window is not the untitled IE window";
  w.foregroundWindow = 2;
  EXPECT_EQ(popup::GetActiveIEWindow(w), (IEWindow{"", 2}));
}

TEST_F(IEWindows, ExistenceAndClosing) {
  w.add({1, "Notepad", "x" + Suffix, 4});
  EXPECT_FALSE(popup::AnyIEWindowExists(w));
  w.add({2, "ieframe", "", 9, false});
  EXPECT_TRUE(popup::AnyIEWindowExists(w)) << "hidden and untitled counts; the class ignores case";

  popup::CloseIEWindow(w, 2);
  popup::CloseIEWindow(w, popup::FindIEWindowByTitle(w, "gone"));
  EXPECT_EQ(w.requests, (std::vector<std::string>{"close:2"})) << "a failed lookup closes nothing";
  EXPECT_TRUE(popup::AnyIEWindowExists(w)) << "a close request does not wait for the window to go";
}

// The closing loop's index against the lookup per entry, for every kind of
// caption a list may meet.
TEST_F(IEWindows, TheIndexAnswersEveryEntryAsTheLookupPerEntryDoes) {
  const std::string caption254 = std::string(254 - Suffix.size(), 'M') + Suffix;
  const std::string caption300 = std::string(300 - Suffix.size(), 'L') + Suffix;
  ie(1, "Twin" + Suffix).visible = false;  // hidden, above its visible twin
  ie(2, "Twin" + Suffix);
  ie(3, "NEWS" + Suffix);
  ie(4, "news" + Suffix);
  ie(5, Suffix);  // a page without a title
  ie(6, caption254);
  ie(7, caption300);
  w.add({8, "Notepad", "Other" + Suffix, 4});
  ie(9, "Other and more" + Suffix);

  const popup::IEWindowIndex index(w, census, popup::CaptionEndings({Suffix}));
  const struct {
    std::string entry;
    platform::WindowId expected;
  } cases[] = {{"Twin", 1},  {"twin", 1},  {"TWIN", 1},   {"News", 3},
               {"news", 3},  {"", 5},      {"Other", 0},  {"Other and", 0},
               {caption254.substr(0, caption254.size() - Suffix.size()), 6},
               {caption300.substr(0, caption300.size() - Suffix.size()), 7},
               {std::string(254, 'M'), 0}, {"Absent", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry.substr(0, 20));
    const platform::WindowId found = index.findEntryKey(index.keyOf(c.entry));
    EXPECT_EQ(found, popup::FindIEWindowByTitle(w, c.entry + Suffix));
    EXPECT_EQ(found, c.expected);
  }
}

namespace {

const std::vector<std::string> Suffixes = {Suffix, " - Windows Internet Explorer", " - Internet Explorer",
                                           " - Acme Web"};

}  // namespace

// Every version's caption, InPrivate and branded ones too, to its short title.
TEST(IEWindowTitles, ShortTitlesOfEveryVersion) {
  const std::pair<std::string, std::string> cases[] = {
      {"News" + Suffix, "News"},
      {"A" + Suffix + " and B" + Suffix, "A and B"},  // version 6: every occurrence, as before
      {"News - microsoft internet explorer", "News - microsoft internet explorer"},
      {"News - Windows Internet Explorer", "News"},
      {"News - Internet Explorer", "News"},
      {"News - Acme Web", "News"},
      {"News - Windows Internet Explorer - [InPrivate]", "News"},
      {"News - [InPrivate] - Internet Explorer", "News"},
      {"News - Internet Explorer - [InPrivate]", "News"},
      {"News - Internet Explorer and more", "News - Internet Explorer and more"},  // in the middle only
      {"Twice - Internet Explorer - Internet Explorer", "Twice - Internet Explorer"},
      {"News - [InPrivate]", "News - [InPrivate]"},  // a mark without a suffix is no browser's
      {" - Internet Explorer", ""},
      {"Plain", "Plain"},
  };
  for (const auto& [caption, shortTitle] : cases) EXPECT_EQ(popup::ShortTitle(caption, Suffixes), shortTitle) << caption;
}

// An entry against a single window's caption, through the closing loop's index.
TEST(IEWindowTitles, AnEntryMatchesItsCaptionInEveryVersionAndNothingElse) {
  const struct {
    std::string entry, caption;
    bool match;
  } cases[] = {
      {"Ads", "Ads" + Suffix, true},
      {"ads", "ADS - WINDOWS INTERNET EXPLORER", true},
      {"Ads", "Ads - Internet Explorer", true},
      {"Ads", "Ads - Acme Web", true},
      {"Ads", "Ads - Windows Internet Explorer - [InPrivate]", true},
      {"Ads", "Ads - [InPrivate] - Internet Explorer", true},
      {"Ads", "Ads" + Suffix + " - [InPrivate]", true},
      {"Ads", "Ads and more - Internet Explorer", false},
      {"Ads", "Ads", false},
      {"Ads", "Ads - Internet Explorer and more", false},
      {"Ads - Internet Explorer", "Ads - Internet Explorer - Internet Explorer", true},
      {"", " - Internet Explorer", true},
      {"", "Ads - Internet Explorer", false},
      {"Ads - [InPrivate]", "Ads - [InPrivate] - Internet Explorer", true},
  };
  for (const auto& c : cases) {
    fake::FakeWindows w;
    fake::FakeTime time;
    popup::WindowCensus census(w, time);
    w.add({1, "Notepad", c.entry + " - Internet Explorer", 4});
    w.add({2, "IEFrame", c.caption, 9});
    const popup::IEWindowIndex index(w, census, popup::CaptionEndings(Suffixes));
    EXPECT_EQ(index.findEntryKey(index.keyOf(c.entry)), c.match ? 2u : 0u) << c.entry << " / " << c.caption;
  }
}

// The branded name is read from the browser's key, and a change of it is
// seen a couple of seconds later without asking the registry in between.
TEST(IEWindowTitles, TheBrandedSuffixFollowsTheBrowsersWindowTitle) {
  fake::FakeRegistry registry;
  fake::FakeTime time;
  popup::BrowserSuffixes suffixes(registry, time);
  EXPECT_EQ(suffixes.list(), (std::vector<std::string>{Suffix, " - Windows Internet Explorer", " - Internet Explorer"}));
  registry.create(platform::Hive::CurrentUser, popup::IEMainKey)->setString(popup::BrandedTitleValue, "Acme Web");
  time.advance(popup::BrowserSuffixes::RereadMs - 1);
  EXPECT_EQ(suffixes.list().size(), 3u) << "read again only when its time has come";
  time.advance(1);
  EXPECT_EQ(suffixes.list().back(), " - Acme Web");
  registry.create(platform::Hive::CurrentUser, popup::IEMainKey)->setString(popup::BrandedTitleValue, "");
  time.advance(popup::BrowserSuffixes::RereadMs);
  EXPECT_EQ(suffixes.list().size(), 3u) << "an empty name brands nothing";
}

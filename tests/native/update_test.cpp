// The update check's pure parts: the version reply's lines, the byte-wise
// comparison of versions, and the request flag word.
#include <gtest/gtest.h>
#include <utility>
#include "update/InternetFlags.h"
#include "update/VersionReply.h"

using update::IsNewerVersion;
using update::ServerVersion;

TEST(VersionReply, TheFourthLineWhateverTheLineEnds) {
  for (const char* reply : {"a\r\nb\r\nc\r\n3.4.2\r\n", "a\nb\nc\n3.4.2", "a\rb\rc\r3.4.2\rmore\r", "\n\n\n3.4.2\n"})
    EXPECT_EQ(ServerVersion(reply), "3.4.2") << reply;
  EXPECT_EQ(ServerVersion("a\r\n\r\nc\r\n 3.4.2 \r\n"), " 3.4.2 ") << "blanks belong to it; an empty line counts";
  EXPECT_EQ(ServerVersion("a\nb\nc\n\n"), "") << "an empty fourth line";
  EXPECT_EQ(ServerVersion("a\nb\nc\n"), std::nullopt) << "three lines";
  EXPECT_EQ(ServerVersion(""), std::nullopt);
}

TEST(VersionReply, VersionsCompareAsBytes) {
  const struct {
    const char* installed;
    const char* server;
    bool newer;
  } cases[] = {
      {"3.4.1", "3.4.2", true},   {"3.4.1", "3.4.1", false}, {"3.4.1", "3.4.10", true},
      {"3.4.1", "3.10", false},   {"3.4.1", "3.4.1 ", true}, {"", "1.0", true},
      {"3.4.1", "", false},       {"3.4.1", "3.4.0", false}, {"3.4.1", "3.4.1\xE9", true},
      {"3.4.1\xE9", "3.4.1z", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsNewerVersion(c.installed, c.server), c.newer) << c.installed << " / " << c.server;
}

TEST(InternetFlags, TheDefaultSetAndEachMembersFlag) {
  using F = update::TInternetFlag;
  EXPECT_EQ(update::RequestFlagsOf(update::DefaultInternetFlags()), 0x8040F200u);
  EXPECT_EQ(update::RequestFlagsOf({}), 0u);
  const std::pair<F, std::uint32_t> alone[] = {{F::ifCacheIfNetFail, 0x00010000}, {F::ifHyperLink, 0x00000400},
                                               {F::ifNeedFile, 0x00000010},       {F::ifNoAuth, 0x00040000},
                                               {F::ifNoAutoRedirect, 0x00200000}, {F::ifNoCookies, 0x00080000},
                                               {F::ifPragmaNoCache, 0x00000100},  {F::ifResynchronize, 0x00000800}};
  for (const auto& [flag, word] : alone) EXPECT_EQ(update::RequestFlagsOf({flag}), word);
  // Two members share one flag: the word has it while either is in the set.
  update::TInternetFlags both{F::ifDontCache, F::ifNoCacheWrite};
  EXPECT_EQ(update::RequestFlagsOf(both), 0x04000000u);
  both.exclude(F::ifDontCache);
  EXPECT_EQ(update::RequestFlagsOf(both), 0x04000000u);
}

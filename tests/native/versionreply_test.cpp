// The version reply: its lines and the byte-wise comparison of versions.
#include <gtest/gtest.h>
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

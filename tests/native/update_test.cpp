// The update check without a network: the version reply's lines, the
// byte-wise comparison of versions, the request flag word, the request
// component's URL and its parts, the downloader's URL split, and the update
// window's verdict on a downloaded installer.
#include <gtest/gtest.h>
#include <utility>
#include "FakePlatform.h"
#include "settings/Schema.h"
#include "ui/Menu.h"
#include "update/HTTPGet.h"
#include "update/InternetFlags.h"
#include "update/VersionReply.h"
#include "update/uAdvHttp.h"
#include "update/uUpdate.h"

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

TEST(AdvHttp, TheURLAndItsPartsStayConsistent) {
  fake::FakeGuiThread gui;
  fake::FakeInternet internet(gui);
  update::TAdvHttp http(internet);
  http.setURL("http://vendor.example/tarnwick/verzija.php");
  EXPECT_EQ(http.HostName(), "vendor.example");
  EXPECT_EQ(http.URLPath(), "/tarnwick/verzija.php");
  EXPECT_EQ(http.Port(), 80);
  http.setPort(8080);
  EXPECT_EQ(http.URL(), "http://vendor.example:8080/tarnwick/verzija.php");
  http.setPort(80);
  http.setExtraInfo("a=1");
  EXPECT_EQ(http.ExtraInfo(), "?a=1");
  EXPECT_EQ(http.URL(), "http://vendor.example/tarnwick/verzija.php?a=1");
  http.setExtraInfo("#top");
  EXPECT_EQ(http.URL(), "http://vendor.example/tarnwick/verzija.php#top");

  http.setURL("https://secure.example/x");
  EXPECT_TRUE(http.SSL());
  EXPECT_EQ(http.Port(), 443);
  try {
    http.setURL("ftp://files.example/a");
    ADD_FAILURE() << "an ftp address was taken";
  } catch (const update::EInetError& e) {
    EXPECT_STREQ(e.what(), "Invalid protocol");
  }
  EXPECT_EQ(http.URL(), "https://secure.example/x") << "the URL keeps its value";
  EXPECT_EQ(http.HostName(), "files.example") << "the parts already taken stay";
  int errors = 0;
  http.OnError = [&](update::TAdvHttp&) { ++errors; };
  EXPECT_THROW(http.setURL("not an address"), update::EInetError);
  EXPECT_EQ(http.URL(), "https://secure.example/x");
  EXPECT_EQ(errors, 1);
}

TEST(HTTPGet, TheDownloadURLAndItsAnnouncedLength) {
  const struct {
    const char* url;
    const char* host;
    int port;
    const char* object;
  } cases[] = {
      {"http://vendor.example/tarnwick/download/setup.exe", "vendor.example", 80, "/tarnwick/download/setup.exe"},
      {"HTTP://vendor.example/a", "vendor.example", 80, "/a"},
      {"http://127.0.0.1:8631/a/b", "127.0.0.1", 8631, "/a/b"},
      {"http://host:99999/a", "host:99999", 80, "/a"},
      {"http://vendor.example", "", 80, "vendor.example"},
  };
  for (const auto& c : cases) {
    const update::DownloadTarget t = update::SplitDownloadURL(c.url);
    EXPECT_EQ(t.host, c.host) << c.url;
    EXPECT_EQ(t.port, c.port) << c.url;
    EXPECT_EQ(t.object, c.object) << c.url;
  }
  std::int64_t length = -1;
  EXPECT_TRUE(update::ParseContentLength("1099511627776", length));
  EXPECT_EQ(length, 1099511627776);
  EXPECT_TRUE(update::ParseContentLength("9223372036854775807", length));
  for (const char* bad : {"", "12a", "-1", " 5", "9223372036854775808", "99999999999999999999"})
    EXPECT_FALSE(update::ParseContentLength(bad, length)) << bad;
}

TEST(UpdateWindow, StartsOnlyTheVendorsInstallerOfTheAnnouncedNewerVersionAndEndsTheProgram) {
  const platform::SignatureVerdict vendor{0, TARNWICK_VENDOR_CERT_SHA256};
  const struct {
    platform::SignatureVerdict verdict;
    const char* offered;
    const char* version;  // the installer's version resource
    bool started;
  } cases[] = {
      {vendor, "9.0.0", "9.0.0", true},
      {{0, std::string(64, 'a')}, "9.0.0", "9.0.0", false},                     // signed by someone else
      {{0x80096010u, TARNWICK_VENDOR_CERT_SHA256}, "9.0.0", "9.0.0", false},  // changed after signing
      {{0x800B0100u, ""}, "9.0.0", "9.0.0", false},                             // unsigned
      {vendor, "9.0.0", settings::ProgramVersion, false},  // this very version, served as a newer one
      {vendor, "9.0.0", "9.0.1", false},                   // not the version announced
      {vendor, "9.0.0", "", false},                        // no version resource
      {vendor, "0.9", "0.9", false},                       // an older release: a downgrade
      {vendor, "", "", false},                             // nothing was announced
  };
  for (const auto& c : cases) {
    fake::FakePlatform f;
    ui::Form owner(f.toolkit, "owner");
    ui::PopupMenu tray(f.toolkit, "tray");
    update::TfrmUpdate w(f.platform, f.toolkit, owner, tray);
    w.create();
    const std::string installer = f.files.temp + "setup.exe";
    f.files.addFile(installer, "MZ");
    f.codeSigning.verdicts[installer] = c.verdict;
    f.codeSigning.versions[installer] = c.version;
    w.OfferedVersion = c.offered;
    w.GetUpdateDoneFile();
    EXPECT_EQ(f.toolkit.terminated, c.started);
    EXPECT_EQ(f.shell.calls.size(), c.started ? 1u : 0u);
    EXPECT_EQ(f.files.exists(installer), c.started) << "a refused installer is deleted";
    EXPECT_EQ(w.lbCom.caption(), c.started ? update::status::Updating : update::status::DownloadError);
    if (c.started) {
      EXPECT_EQ(f.shell.calls[0].verb + " " + f.shell.calls[0].file, "open " + installer);
      EXPECT_EQ(f.time.slept, 2000u);
    }
  }
}

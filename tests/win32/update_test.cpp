// The request and download components over the real HTTP layer, against the
// scripted server on loopback (update_test_server.py): replies the vendor's
// server never gives, failures, and components destroyed mid-reply.
#include <windows.h>
#include <gtest/gtest.h>
#include "Serve.h"
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>
#include "platform/win32/FilesWin32.h"
#include "platform/win32/GuiThreadWin32.h"
#include "platform/win32/InternetWin32.h"
#include "update/HTTPGet.h"
#include "update/uAdvHttp.h"

namespace {

std::string server(const char* path, const char* portVariable = "TARNWICK_TEST_HTTP_PORT") {
  const char* port = std::getenv(portVariable);
  return std::string("http://127.0.0.1:") + (port ? port : "1") + path;
}

// The real HTTP layer, with the requests sent and the size of every read
// asked and answered.
class CountingInternet : public platform::win32::Internet {
 public:
  int sent = 0;
  std::vector<std::uint32_t> asked, answered;
  bool sendRequest(platform::InternetHandle request, const std::string& headers, const std::string& body) override {
    ++sent;
    return platform::win32::Internet::sendRequest(request, headers, body);
  }
  bool read(platform::InternetHandle request, char* buffer, std::uint32_t size, std::uint32_t* count) override {
    asked.push_back(size);
    const bool ok = platform::win32::Internet::read(request, buffer, size, count);
    if (ok) answered.push_back(*count);
    return ok;
  }
};

// A download's thread closes its handles after it has reported its end and
// may still be doing so when a test is over: the services it uses live as
// long as the test program, as the program's own live as long as it.
struct DownloadServices {
  platform::win32::Internet internet;
  platform::win32::Files files;
  platform::win32::GuiThread gui;
};

DownloadServices& downloadServices() {
  static DownloadServices* services = new DownloadServices;
  return *services;
}

std::string askedCount(const char* name) {
  platform::win32::Internet internet;
  update::TAdvHttp http(internet);
  http.setURL(server((std::string("/count/") + name).c_str()));
  http.StartRequest(true);
  return http.Text();
}

struct Recorded {
  std::vector<std::string> events;
  std::vector<std::uint32_t> errors;
  void bind(update::TAdvHttp& http) {
    http.OnRequestComplete = [this](update::TAdvHttp&) { events.push_back("complete"); };
    http.OnError = [this](update::TAdvHttp& h) {
      events.push_back("error");
      errors.push_back(h.ErrorCode());
    };
  }
  bool has(const char* e) const { return std::find(events.begin(), events.end(), e) != events.end(); }
};

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string pattern(std::size_t n) {
  std::string s;
  for (std::size_t i = 0; i < n; ++i) s += static_cast<char>((i * 7) % 251);
  return s;
}

}  // namespace

// What the platform's crack and combine make of the addresses the update
// composes: the parts come back as the compose writes them, as the fake HTTP
// layer of the native tests and the fuzz target assume.
TEST(AdvHttpUrl, ComposedAddressesKeepTheirParts) {
  const std::pair<const char*, const char*> composed[] = {
      {"http://127.0.0.1:8631/tarnwick/verzija.php", "http://127.0.0.1:8631/tarnwick/verzija.php"},
      {"https://vendor.example/a", "https://vendor.example:443/a"},
      {"https://vendor.example:80/a", "https://vendor.example:80/a"},
      {"http://vendor.example:80/a?b=1", "http://vendor.example/a?b=1"},
      {"http://vendor.example/a b", "http://vendor.example/a%20b"},
  };
  platform::win32::Internet internet;
  for (auto [url, expected] : composed) {
    update::TAdvHttp http(internet);
    http.setURL(url);
    http.setPort(http.Port());
    EXPECT_EQ(http.URL(), expected) << url;
  }
}

TEST(AdvHttp, RepliesWholeInBlocksTextBeforeANulAndOneEventForEachFailure) {
  CountingInternet internet;
  update::TAdvHttp http(internet);
  Recorded r;
  r.bind(http);
  http.setURL(server("/big"));
  http.StartRequest(false);
  ASSERT_TRUE(serve([&] { return r.has("complete"); }));
  EXPECT_EQ(http.Text(), pattern(40000).substr(0, pattern(40000).find('\0')));
  EXPECT_EQ(http.StatusCode(), 200u);
  for (std::uint32_t size : internet.asked) EXPECT_EQ(size, 16384u);
  std::uint32_t total = 0;
  for (std::uint32_t n : internet.answered) total += n;
  EXPECT_EQ(total, 40000u) << "every byte read, the reply whole";

  http.setURL(server("/nul"));
  http.StartRequest(false);
  ASSERT_TRUE(serve([&] { return r.events.size() == 2; }));
  EXPECT_EQ(http.Text(), "before");

  // Sent four times in all: the request and three answers to the challenge.
  const int before = internet.sent;
  http.DefaultUi = false;
  http.setURL(server("/auth"));
  http.StartRequest(false);
  ASSERT_TRUE(serve([&] { return r.events.size() == 3; }));
  EXPECT_EQ(r.errors.back(), 12017u);
  EXPECT_EQ(internet.sent - before, 4);

  // A reply longer than the bound is not held.
  http.MaxReplySize = 20000;
  http.setURL(server("/big"));
  http.StartRequest(false);
  ASSERT_TRUE(serve([&] { return r.events.size() == 4; }));
  serve([] { return false; }, 300);

  // A server that cannot be reached.
  http.setURL(server("/", "TARNWICK_TEST_CLOSED_PORT"));
  http.StartRequest(false);
  ASSERT_TRUE(serve([&] { return r.events.size() == 5; }));
  serve([] { return false; }, 300);
  EXPECT_EQ(r.events, (std::vector<std::string>{"complete", "complete", "error", "error", "error"}))
      << "one event for each request, nothing after it";
  EXPECT_EQ(r.errors.back(), 12029u);
}

TEST(AdvHttp, DestroyedWhileASlowReplyIsReadLetsNoEventThrough) {
  platform::win32::Internet internet;
  Recorded r;
  bool sending = false;
  DWORD destroyTook = 0;
  {
    auto http = std::make_unique<update::TAdvHttp>(internet);
    r.bind(*http);
    http->OnSendingRequest = [&](update::TAdvHttp&) { sending = true; };
    http->setURL(server("/slow"));
    http->StartRequest(false);
    ASSERT_TRUE(serve([&] { return sending; }));
    serve([] { return false; }, 500);  // the reply is being read
    const DWORD start = GetTickCount();
    http.reset();
    destroyTook = GetTickCount() - start;
  }
  serve([] { return false; }, 1500);
  EXPECT_TRUE(r.events.empty());
  EXPECT_LT(destroyTook, 3000u) << "the destruction waited for the slow server";
}

TEST(HTTPGet, DownloadsReportProgressAndFailWithoutOverflow) {
  DownloadServices& services = downloadServices();
  platform::win32::Internet& internet = services.internet;
  platform::win32::Files& files = services.files;
  platform::win32::GuiThread& gui = services.gui;
  const std::string file = files.tempFolder() + "tarnwick-download-test.bin";
  struct Case {
    const char* path;
    bool succeeds;
    std::size_t fileSize;  // what lands on disk; npos when no file is made
  } cases[] = {
      {"/file3000", true, 3000},
      {"/nolength", false, std::string::npos},
      {"/drop", false, std::string::npos},
      {"/huge", false, std::string::npos},
      {"/FILE3000", true, 3000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    DeleteFileA(file.c_str());
    update::THTTPGet get(internet, files, gui);
    get.BinaryData = true;
    get.URL = std::string(c.path) == "/FILE3000" ? "HTTP://127.0.0.1:" + server("").substr(17) + "/file3000"
                                                 : server(c.path);
    get.FileName = file;
    std::vector<std::int64_t> progress;
    std::vector<std::string> outcomes;
    get.OnProgress = [&](update::THTTPGetThread&, std::int64_t total, std::int64_t readed) {
      progress.push_back(readed);
      if (c.succeeds) {
        EXPECT_EQ(total, 3000);
      }
    };
    get.OnDoneFile = [&](update::THTTPGet&, const std::string& name, std::int64_t size) {
      outcomes.push_back(name + ":" + std::to_string(size));
    };
    get.OnError = [&](update::THTTPGet&) { outcomes.push_back("error"); };
    get.StartDownload();
    get.StartDownload();  // ignored while the first runs
    ASSERT_TRUE(serve([&] { return !get.Running(); }));
    serve([] { return false; }, 200);
    EXPECT_EQ(outcomes, std::vector<std::string>{c.succeeds ? file + ":3000" : "error"});
    EXPECT_EQ(GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES, c.fileSize != std::string::npos);
    if (c.fileSize != std::string::npos) {
      EXPECT_EQ(fileBytes(file), pattern(c.fileSize));
    }
    if (c.succeeds) {
      EXPECT_EQ(progress, (std::vector<std::int64_t>{1025, 2050, 3000}));
    }
  }
  EXPECT_EQ(askedCount("file3000"), "2") << "each case's second start asked nothing";
  DeleteFileA(file.c_str());
}

// Redirects go at most five times and only to web addresses; a loop, an
// ever longer address or another scheme ends in one error, a short chain
// reaches its reply. Each row: path, the requests the server saw, success.
TEST(Redirects, BothComponentsFollowAHandfulToWebAddressesOnly) {
  DownloadServices& services = downloadServices();
  platform::win32::Internet& internet = services.internet;
  platform::win32::Files& files = services.files;
  platform::win32::GuiThread& gui = services.gui;
  const std::string file = files.tempFolder() + "tarnwick-redirect-test.bin";
  struct Case {
    const char* path;
    const char* counted;
    const char* requests;
    bool succeeds;
  } cases[] = {
      {"/loop", "loop", "6", false},
      {"/grow", "grow", "6", false},
      {"/toftp", "toftp", "1", false},
      {"/hop3", "hop1", "1", true},
  };
  int round = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    // Each round counts afresh: the server's counters only grow.
    const int before = std::stoi(askedCount(c.counted));
    update::TAdvHttp http(internet);
    Recorded r;
    r.bind(http);
    http.setURL(server(c.path));
    http.StartRequest(false);
    ASSERT_TRUE(serve([&] { return !r.events.empty(); }));
    EXPECT_EQ(r.events, std::vector<std::string>{c.succeeds ? "complete" : "error"});
    if (c.succeeds) {
      EXPECT_EQ(http.Text(), pattern(3000).substr(0, pattern(3000).find('\0')));
    } else {
      EXPECT_EQ(r.errors, std::vector<std::uint32_t>{12156u});
    }
    EXPECT_EQ(std::stoi(askedCount(c.counted)) - before, std::stoi(c.requests));

    update::THTTPGet get(internet, files, gui);
    get.BinaryData = true;
    get.URL = server(c.path);
    get.FileName = file;
    get.StartDownload();
    ASSERT_TRUE(serve([&] { return !get.Running(); }));
    EXPECT_EQ(get.Succeeded(), c.succeeds);
    EXPECT_EQ(exists(file), c.succeeds);
    if (c.succeeds) {
      EXPECT_EQ(fileBytes(file), pattern(3000));
    }
    EXPECT_EQ(std::stoi(askedCount(c.counted)) - before, 2 * std::stoi(c.requests));
    DeleteFileA(file.c_str());
    ++round;
  }
  EXPECT_EQ(round, 4);
}

// A download stops at the installer bound and at the announced length, and
// a cancelled one, whatever it had received, leaves no file.
TEST(HTTPGet, BoundedAndCancelledDownloadsLeaveNoFile) {
  DownloadServices& services = downloadServices();
  platform::win32::Internet& internet = services.internet;
  platform::win32::Files& files = services.files;
  platform::win32::GuiThread& gui = services.gui;
  const std::string file = files.tempFolder() + "tarnwick-bound-test.bin";
  for (const char* path : {"/endless", "/past", "/slowfile"}) {
    SCOPED_TRACE(path);
    update::THTTPGet get(internet, files, gui);
    get.BinaryData = true;
    get.MaxFileSize = 64 << 20;
    get.URL = server(path);
    get.FileName = file;
    std::int64_t received = 0;
    get.OnProgress = [&](update::THTTPGetThread&, std::int64_t, std::int64_t readed) { received = readed; };
    get.StartDownload();
    if (std::string(path) == "/slowfile") {
      ASSERT_TRUE(serve([&] { return received >= 3000; }));
      EXPECT_TRUE(exists(file)) << "the file is being written";
      get.CancelDownload();
    }
    // The slow body takes 20 s whole: the cancel ends it well before. Closing
    // the refused endless reply, Wine's HTTP layer drains what the server
    // keeps sending for some seconds (to reuse the connection); nothing of
    // it is written.
    ASSERT_TRUE(serve([&] { return !get.Running(); }, std::string(path) == "/slowfile" ? 10000 : 30000));
    if (std::string(path) == "/past" && get.Succeeded()) {
      // The HTTP layer itself may stop reading at the announced length: then
      // the file is exactly what was announced, nothing past it.
      EXPECT_EQ(fileBytes(file), std::string(1000, 'y'));
      DeleteFileA(file.c_str());
      continue;
    }
    EXPECT_FALSE(get.Succeeded());
    EXPECT_FALSE(exists(file));
    if (std::string(path) != "/slowfile") {
      EXPECT_LE(received, 1000) << "nothing past the announced length, nothing at all of 10 GiB";
    }
  }
}

// Once called off, neither component sends another request, even when the
// server was in the middle of leading it round in circles.
TEST(Redirects, NoRequestLeavesOnceCalledOff) {
  DownloadServices& services = downloadServices();
  platform::win32::Internet& internet = services.internet;
  platform::win32::Files& files = services.files;
  platform::win32::GuiThread& gui = services.gui;
  const int before = std::stoi(askedCount("slowloop"));
  {
    update::TAdvHttp http(internet);
    Recorded r;
    r.bind(http);
    http.setURL(server("/slowloop"));
    http.StartRequest(false);
    ASSERT_TRUE(serve([&] { return std::stoi(askedCount("slowloop")) - before >= 2; }));
    http.Abort();
    serve([] { return false; }, 300);
    EXPECT_TRUE(r.events.empty());
  }
  const int afterCheck = std::stoi(askedCount("slowloop"));
  update::THTTPGet get(internet, files, gui);
  get.BinaryData = true;
  get.URL = server("/slowloop");
  get.FileName = files.tempFolder() + "tarnwick-calledoff-test.bin";
  get.StartDownload();
  ASSERT_TRUE(serve([&] { return std::stoi(askedCount("slowloop")) - afterCheck >= 2; }));
  get.CancelDownload();
  const int calledOff = std::stoi(askedCount("slowloop"));
  serve([] { return false; }, 2500);  // long enough for the rest of the loop's bound
  EXPECT_LE(std::stoi(askedCount("slowloop")), calledOff + 1) << "at most the request already on its way";
  EXPECT_LE(afterCheck - before, 3);
  EXPECT_FALSE(get.Running());
}

// Process detection against scripted windows and process snapshots: the
// matching rule, which windows count, and the cost of one question.
#include <gtest/gtest.h>
#include "eraser/ProcessViewer.h"
#include "platform/fake/FakeServices.h"
#include "platform/fake/FakeTime.h"
#include "platform/fake/FakeWindows.h"

namespace {

struct Detection : ::testing::Test {
  fake::FakeWindows windows;
  fake::FakeProcesses processes;
  fake::FakeTime time;
  eraser::ProcessViewer viewer{windows, processes, time};

  void process(std::uint32_t pid, const std::string& exe) { processes.processes.push_back({pid, exe}); }
  void window(platform::WindowId id, std::uint32_t pid, bool visible = true) {
    windows.add({.id = id, .cls = "IEFrame", .title = "", .process = pid, .visible = visible});
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& p : viewer.ProcessList()) out.push_back(p.ExeName);
    return out;
  }
};

TEST_F(Detection, TheFileNamePartIsAskedForInAnyCase) {
  process(4, "tarnwick.exe");
  process(10, "iexplore.exe");
  window(1, 4);
  window(2, 10, /*visible=*/false);  // a browser whose only window is hidden
  for (const char* name :
       {"IEXPLORE.EXE", "iexplore.exe", "IExplore.Exe", "C:\\Program Files\\Internet Explorer\\iexplore.exe",
        "D:iexplore.exe", "IEXPLORE"})
    EXPECT_TRUE(viewer.IsProcessRunning(name)) << name;
  for (const char* name : {"notepad.exe", "IEXPLORE.EXE.OLD", "iexplore.exe\\", "C:\\iexplore.exe\\x.exe"})
    EXPECT_FALSE(viewer.IsProcessRunning(name)) << name;
  EXPECT_TRUE(viewer.IsProcessRunning("TARNWICK.EXE"))
      << "the program's own windows are asked about like any";
}

TEST_F(Detection, SnapshotNamesMatchBySubstringAfterAsciiUpperCasing) {
  const std::pair<const char*, bool> cases[] = {
      {"C:\\PROGRA~1\\INTERN~1\\iexplore.exe", true},  // a full path ending in the file name
      {"MyIExplore.exe", true},                        // a longer name that contains it
      {"iexplore.exe.bak", true},
      {"iexplor.exe", false},
      {"\xE9iexplore.exe", true},
  };
  // Each case a new window a moment later, when the last snapshot is too old to answer.
  platform::WindowId id = 1;
  for (const auto& [exe, running] : cases) {
    time.advance(eraser::SnapshotReuseMs);
    processes.processes = {{10, exe}};
    windows.windows.clear();
    window(id++, 10);
    EXPECT_EQ(viewer.IsProcessRunning("iexplore.exe"), running) << exe;
  }
  // Only a-z are upper-cased: an accented letter stays as it is on both sides.
  time.advance(eraser::SnapshotReuseMs);
  processes.processes = {{10, "caf\xE9.exe"}};
  windows.windows.clear();
  window(id, 10);
  EXPECT_TRUE(viewer.IsProcessRunning("CAF\xE9.EXE"));
  EXPECT_FALSE(viewer.IsProcessRunning("CAF\xC9.EXE"));
  EXPECT_EQ(names(), std::vector<std::string>{"CAF\xE9.EXE"});
}

TEST_F(Detection, OnlyAProcessOwningATopLevelWindowRuns) {
  process(0, "[System Process]");
  process(10, "iexplore.exe");  // running, but without any window
  process(20, "C:\\windows\\explorer.exe");
  window(5, 20);
  window(6, 99);  // its process ended before the snapshot
  window(7, 0);   // its owner could not be read
  window(8, 20, false);
  EXPECT_FALSE(viewer.IsProcessRunning("IEXPLORE.EXE"));
  // One entry per window, in enumeration order, upper-cased; empty when the
  // owner is not in the snapshot.
  EXPECT_EQ(names(),
            (std::vector<std::string>{"C:\\WINDOWS\\EXPLORER.EXE", "", "", "C:\\WINDOWS\\EXPLORER.EXE"}));

  processes.toolhelp = false;  // no snapshot at all: nothing is known to run
  eraser::ProcessViewer blind{windows, processes, time};
  EXPECT_FALSE(blind.IsProcessRunning("explorer.exe"));
  EXPECT_EQ(blind.ProcessList().size(), 4u);
  for (const auto& entry : blind.ProcessList()) EXPECT_EQ(entry.ExeName, "");
}

// A question costs one enumeration; only windows not seen before are asked
// for their process, and they share one snapshot.
TEST_F(Detection, EachQuestionRebuildsTheListAskingOnlyAboutNewWindows) {
  process(10, "iexplore.exe");
  for (platform::WindowId id = 1; id <= 400; ++id) {
    window(id, id == 400 ? 10 : 1000 + id, false);
    if (id < 400) process(1000 + id, "other.exe");
  }
  EXPECT_TRUE(viewer.IsProcessRunning("IEXPLORE.EXE"));
  EXPECT_EQ(processes.snapshots, 1);
  EXPECT_EQ(windows.asked["process"], 400);
  EXPECT_EQ(viewer.ProcessList().size(), 400u);

  // The browser's window is gone: the next question sees it at once,
  // without asking the windows it knows, even when its snapshot is old.
  windows.windows.pop_back();
  time.advance(eraser::SnapshotReuseMs);
  EXPECT_FALSE(viewer.IsProcessRunning("IEXPLORE.EXE"));
  EXPECT_EQ(processes.snapshots, 1);
  EXPECT_EQ(windows.asked["process"], 400);
  EXPECT_EQ(viewer.ProcessList().size(), 399u);

  // A new window of a process the snapshot holds is answered from it while
  // it is young; one of a process it does not hold takes a new snapshot,
  // and so does a new window once the snapshot is half a second old.
  window(401, 1001);
  window(402, 1002);
  EXPECT_FALSE(viewer.IsProcessRunning("IEXPLORE.EXE"));
  EXPECT_EQ(processes.snapshots, 2) << "the snapshot was too old";
  window(403, 1003);
  EXPECT_FALSE(viewer.IsProcessRunning("IEXPLORE.EXE"));
  EXPECT_EQ(processes.snapshots, 2) << "a young snapshot holds its process";
  process(20, "IEXPLORE.EXE");
  window(500, 20);
  EXPECT_TRUE(viewer.IsProcessRunning("IEXPLORE.EXE"));
  EXPECT_EQ(processes.snapshots, 3);
  EXPECT_EQ(windows.asked["process"], 404);
  EXPECT_EQ(windows.enumerations, 5);

  // A window whose process was not found is asked about again next time.
  window(600, 99);
  EXPECT_TRUE(viewer.IsProcessRunning("IEXPLORE.EXE"));
  EXPECT_TRUE(viewer.IsProcessRunning("IEXPLORE.EXE"));
  EXPECT_EQ(windows.asked["process"], 406);

  // An empty name is answered without looking: no snapshot, list untouched.
  const int snapshots = processes.snapshots;
  EXPECT_FALSE(viewer.IsProcessRunning(""));
  EXPECT_EQ(processes.snapshots, snapshots);
  EXPECT_EQ(viewer.ProcessList().size(), 404u);
}

TEST_F(Detection, OneWindowIsAnsweredFromASnapshotOfItsOwn) {
  process(10, "C:\\Program Files\\iexplore.exe");
  window(1, 10);
  window(2, 77);
  EXPECT_EQ(viewer.GetWindowExeName(1), "C:\\Program Files\\iexplore.exe") << "as the snapshot reports it";
  EXPECT_EQ(viewer.GetWindowExeName(2), "");
  EXPECT_EQ(processes.snapshots, 2);
  EXPECT_TRUE(viewer.ProcessList().empty()) << "a single question leaves the list alone";
}

}  // namespace

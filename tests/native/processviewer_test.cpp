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
  // Each case a moment later, when the last snapshot is too old to answer.
  for (const auto& [exe, running] : cases) {
    time.advance(eraser::SnapshotReuseMs);
    processes.processes = {{10, exe}};
    windows.windows.clear();
    window(1, 10);
    EXPECT_EQ(viewer.IsProcessRunning("iexplore.exe"), running) << exe;
  }
  // Only a-z are upper-cased: an accented letter stays as it is on both sides.
  time.advance(eraser::SnapshotReuseMs);
  processes.processes = {{10, "caf\xE9.exe"}};
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
  EXPECT_FALSE(viewer.IsProcessRunning("explorer.exe"));
  EXPECT_EQ(names(), (std::vector<std::string>{"", "", "", ""}));
}

TEST_F(Detection, EachQuestionRebuildsTheListFromOneSnapshotThatStaysYoung) {
  process(10, "iexplore.exe");
  for (platform::WindowId id = 1; id <= 400; ++id) {
    window(id, id == 400 ? 10 : 1000 + id, false);
    if (id < 400) process(1000 + id, "other.exe");
  }
  EXPECT_TRUE(viewer.IsProcessRunning("IEXPLORE.EXE"));
  EXPECT_EQ(processes.snapshots, 1);
  EXPECT_EQ(viewer.ProcessList().size(), 400u);

  // The browser's window is gone: the next question sees it at once, from
  // the same young snapshot.
  windows.windows.pop_back();
  EXPECT_FALSE(viewer.IsProcessRunning("IEXPLORE.EXE"));
  EXPECT_EQ(processes.snapshots, 1);
  EXPECT_EQ(viewer.ProcessList().size(), 399u);

  // A window of a process the snapshot does not hold takes a new one, and
  // so does any question once the snapshot is half a second old.
  process(20, "IEXPLORE.EXE");
  window(500, 20);
  EXPECT_TRUE(viewer.IsProcessRunning("IEXPLORE.EXE"));
  EXPECT_EQ(processes.snapshots, 2);
  time.advance(500);
  EXPECT_TRUE(viewer.IsProcessRunning("IEXPLORE.EXE"));
  EXPECT_EQ(processes.snapshots, 3);

  // An empty name is answered without looking: no snapshot, list untouched.
  EXPECT_FALSE(viewer.IsProcessRunning(""));
  EXPECT_EQ(processes.snapshots, 3);
  EXPECT_EQ(viewer.ProcessList().size(), 400u);
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

// Tells whether a program with a given executable name is running, judged by
// the top-level windows on the desktop (visible or hidden) and the processes
// that own them. The eraser asks it before touching the browser's traces.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>
#include "platform/Clock.h"
#include "platform/Processes.h"
#include "platform/Windows.h"

namespace eraser {

// One top-level window: the upper-cased executable name of its process,
// empty when that process is not in the snapshot.
struct TProcessInfo {
  std::string ExeName;
};

// How long a process snapshot answers later questions for the processes it
// holds: the questions of one erase pass come within a few milliseconds.
inline constexpr std::uint64_t SnapshotReuseMs = 500;

class ProcessViewer {
 public:
  ProcessViewer(platform::Windows& windows, platform::Processes& processes, platform::Clock& clock);

  // True when a top-level window belongs to a process whose executable name
  // contains the file-name part of `name`, letter case ignored (ASCII).
  bool IsProcessRunning(const std::string& name);
  // Rebuilds the window list from the current windows. A window seen by an
  // earlier question keeps the name found for it then; the others are
  // looked up in one snapshot: a new one, unless the last is younger than
  // SnapshotReuseMs and holds the process of each of them.
  void RefreshProcessList();
  // The executable name of the process owning `w`, from a snapshot of its
  // own (for a single question); empty when it cannot be found.
  std::string GetWindowExeName(platform::WindowId w);
  const std::vector<TProcessInfo>& ProcessList() const;

 private:
  platform::Windows& windows_;
  platform::Processes& processes_;
  platform::Clock& clock_;
  std::vector<TProcessInfo> list_;
  // The windows of the last question whose process was found, by handle,
  // with the upper-cased name; sorted by handle.
  std::vector<std::pair<platform::WindowId, std::string>> known_;
  std::vector<platform::ProcessRecord> snapshot_;
  std::uint64_t snapshotAt_ = 0;
  bool snapshotTaken_ = false;
};

}  // namespace eraser

// Tells whether a program with a given executable name is running, judged by
// the top-level windows on the desktop (visible or hidden) and the processes
// that own them. The eraser asks it before touching the browser's traces.
#pragma once
#include <string>
#include <vector>
#include "platform/Processes.h"
#include "platform/Windows.h"

namespace eraser {

// One top-level window: the upper-cased executable name of its process,
// empty when that process is not in the snapshot.
struct TProcessInfo {
  std::string ExeName;
};

class ProcessViewer {
 public:
  ProcessViewer(platform::Windows& windows, platform::Processes& processes);

  // True when a top-level window belongs to a process whose executable name
  // contains the file-name part of `name`, letter case ignored (ASCII).
  bool IsProcessRunning(const std::string& name);
  // Rebuilds the window list from the current windows and one snapshot.
  void RefreshProcessList();
  // The executable name of the process owning `w`, from a snapshot of its
  // own (for a single question); empty when it cannot be found.
  std::string GetWindowExeName(platform::WindowId w);
  const std::vector<TProcessInfo>& ProcessList() const;

 private:
  platform::Windows& windows_;
  platform::Processes& processes_;
  std::vector<TProcessInfo> list_;
};

}  // namespace eraser

// Process detection: one window list per question, built from one snapshot.
#include "eraser/ProcessViewer.h"
#include <algorithm>

namespace eraser {

namespace {

std::string upperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// The executable of the first record with this process id, as the snapshot
// reports it. Process id 0 means the window's owner could not be found.
std::string exeNameIn(const std::vector<platform::ProcessRecord>& snapshot, std::uint32_t pid) {
  if (pid == 0) return "";
  for (const auto& record : snapshot)
    if (record.pid == pid) return record.exeFile;
  return "";
}

// "C:\Program Files\Internet Explorer\iexplore.exe" -> "iexplore.exe"
std::string fileNamePart(const std::string& name) {
  const std::size_t cut = name.find_last_of("\\:");
  return cut == std::string::npos ? name : name.substr(cut + 1);
}

}  // namespace

ProcessViewer::ProcessViewer(platform::Windows& windows, platform::Processes& processes, platform::Clock& clock)
    : windows_(windows), processes_(processes), clock_(clock) {}

bool ProcessViewer::IsProcessRunning(const std::string& name) {
  if (name.empty()) return false;
  RefreshProcessList();
  const std::string wanted = upperAscii(fileNamePart(name));
  // A path without a file name names no program; an empty part would
  // otherwise match every window.
  if (wanted.empty()) return false;
  for (const auto& entry : list_)
    if (entry.ExeName.find(wanted) != std::string::npos) return true;
  return false;
}

void ProcessViewer::RefreshProcessList() {
  list_.clear();
  // A window belongs to one process from its creation to its end, and that
  // process keeps its executable while the window lives: a window answered
  // once is answered again without asking the system. Only the others cost
  // a question each, and they share one snapshot: a snapshot per window
  // would make the question cost grow with the number of windows.
  const std::vector<platform::WindowId> windows = windows_.topLevel();
  std::vector<std::pair<platform::WindowId, std::string>> known;
  std::vector<std::pair<std::size_t, std::uint32_t>> unknown;  // list index, owner
  list_.resize(windows.size());
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const auto it = std::lower_bound(known_.begin(), known_.end(), windows[i],
                                     [](const auto& entry, platform::WindowId w) { return entry.first < w; });
    if (it != known_.end() && it->first == windows[i]) {
      list_[i].ExeName = it->second;
      known.push_back(*it);
    } else {
      unknown.emplace_back(i, windows_.processOf(windows[i]));
    }
  }
  if (!unknown.empty()) {
    // A young snapshot serves, unless a window belongs to a process it does not hold.
    const std::uint64_t now = clock_.nowMs();
    bool fresh = snapshotTaken_ && now - snapshotAt_ < SnapshotReuseMs;
    for (std::size_t u = 0; fresh && u < unknown.size(); ++u)
      fresh = unknown[u].second == 0 || !exeNameIn(snapshot_, unknown[u].second).empty();
    if (!fresh) {
      snapshot_ = processes_.snapshot();
      snapshotAt_ = now;
      snapshotTaken_ = true;
    }
    for (const auto& [i, pid] : unknown) {
      list_[i].ExeName = upperAscii(exeNameIn(snapshot_, pid));
      if (!list_[i].ExeName.empty()) known.emplace_back(windows[i], list_[i].ExeName);
    }
  }
  std::sort(known.begin(), known.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  known_ = std::move(known);
}

std::string ProcessViewer::GetWindowExeName(platform::WindowId w) {
  const std::uint32_t pid = windows_.processOf(w);
  return exeNameIn(processes_.snapshot(), pid);
}

const std::vector<TProcessInfo>& ProcessViewer::ProcessList() const {
  return list_;
}

}  // namespace eraser

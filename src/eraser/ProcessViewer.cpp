// Process detection: one window list per question, built from one snapshot.
#include "eraser/ProcessViewer.h"

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
  std::vector<std::uint32_t> owners;
  for (platform::WindowId w : windows_.topLevel()) owners.push_back(windows_.processOf(w));
  // One snapshot serves every window: a snapshot per window would make the
  // question cost grow with the number of windows on the desktop. A young
  // snapshot serves the next questions too, unless a window belongs to a
  // process it does not hold.
  const std::uint64_t now = clock_.nowMs();
  bool fresh = snapshotTaken_ && now - snapshotAt_ < SnapshotReuseMs;
  for (std::size_t i = 0; fresh && i < owners.size(); ++i)
    fresh = owners[i] == 0 || !exeNameIn(snapshot_, owners[i]).empty();
  if (!fresh) {
    snapshot_ = processes_.snapshot();
    snapshotAt_ = now;
    snapshotTaken_ = true;
  }
  list_.reserve(owners.size());
  for (std::uint32_t pid : owners) list_.push_back({upperAscii(exeNameIn(snapshot_, pid))});
}

std::string ProcessViewer::GetWindowExeName(platform::WindowId w) {
  const std::uint32_t pid = windows_.processOf(w);
  return exeNameIn(processes_.snapshot(), pid);
}

const std::vector<TProcessInfo>& ProcessViewer::ProcessList() const {
  return list_;
}

}  // namespace eraser

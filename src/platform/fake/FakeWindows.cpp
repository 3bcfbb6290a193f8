#include "platform/fake/FakeWindows.h"
#include <algorithm>
#include <cctype>

namespace fake {

namespace {
std::string lowered(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}
bool sameText(const std::string& a, const std::string& b) { return lowered(a) == lowered(b); }
}  // namespace

FakeWindow& FakeWindows::add(const FakeWindow& w) {
  windows.push_back(w);
  return windows.back();
}

FakeWindow* FakeWindows::get(platform::WindowId id) {
  for (auto& w : windows)
    if (w.id == id) return &w;
  return nullptr;
}

std::vector<platform::WindowId> FakeWindows::topLevel() {
  ++enumerations;
  std::vector<platform::WindowId> ids;
  for (auto& w : windows) ids.push_back(w.id);
  return ids;
}

// A read into a buffer of n characters keeps at most n - 1 of them.
std::string FakeWindows::className(platform::WindowId w, std::size_t buffer) {
  ++asked["class"];
  auto* win = get(w);
  return win && buffer > 0 ? win->cls.substr(0, buffer - 1) : "";
}

std::optional<std::string> FakeWindows::answeredText(platform::WindowId w, std::size_t buffer) {
  ++asked["text"];
  auto* win = get(w);
  if (win && win->hung) return std::nullopt;
  return win && buffer > 0 ? win->title.substr(0, buffer - 1) : "";
}

std::vector<platform::Windows::KeyedWindow> FakeWindows::keyedWindows(const std::string& cls) {
  ++enumerations;
  std::vector<KeyedWindow> found;
  for (auto& w : windows)
    if (sameText(w.cls, cls)) found.push_back({lowered(w.title), w.id});
  return found;
}

std::string FakeWindows::titleKey(const std::string& title) { return lowered(title); }

std::string FakeWindows::windowKey(platform::WindowId w) {
  ++asked["key"];
  auto* win = get(w);
  return win ? lowered(win->title) : "";
}

bool FakeWindows::postClose(platform::WindowId w) {
  auto* win = get(w);
  if (!win) return false;
  record("close", w);
  pendingCloses_.push_back(w);
  return true;
}

void FakeWindows::deliverCloses() {
  for (platform::WindowId id : pendingCloses_)
    std::erase_if(windows, [id](const FakeWindow& w) { return w.id == id && !w.refusesClose; });
  pendingCloses_.clear();
}

platform::WindowId FakeWindows::owner(platform::WindowId w) {
  auto* win = get(w);
  return win ? win->owner : 0;
}

std::uint32_t FakeWindows::exStyle(platform::WindowId w) {
  auto* win = get(w);
  return win ? win->exStyle : 0;
}

platform::WindowId FakeWindows::find(const std::string& cls, const std::string& title, platform::WindowId after) {
  bool searching = after == 0;
  for (auto& w : windows) {
    if (!searching) {
      searching = w.id == after;
      continue;
    }
    if (sameText(w.cls, cls) && sameText(w.title, title)) return w.id;
  }
  return 0;
}

platform::WindowId FakeWindows::findClass(const std::string& cls) {
  for (auto& w : windows)
    if (sameText(w.cls, cls)) return w.id;
  return 0;
}

std::uint32_t FakeWindows::processOf(platform::WindowId w) {
  ++asked["process"];
  auto* win = get(w);
  return win ? win->process : 0;
}

bool FakeWindows::isIconic(platform::WindowId w) {
  auto* win = get(w);
  return win && win->iconic;
}

bool FakeWindows::isVisible(platform::WindowId w) {
  ++asked["visible"];
  auto* win = get(w);
  return win && win->visible;
}

bool FakeWindows::isEnabled(platform::WindowId w) {
  auto* win = get(w);
  return win && win->enabled;
}

platform::WindowId FakeWindows::lastActivePopup(platform::WindowId w) {
  auto* win = get(w);
  if (!win) return 0;
  return win->lastActivePopup ? win->lastActivePopup : w;
}

}  // namespace fake

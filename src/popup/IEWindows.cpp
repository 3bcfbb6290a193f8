#include "popup/IEWindows.h"

namespace popup {

namespace {

// The IE window bearing the title that `w` answers with, its own title read
// back with the handle.
std::optional<IEWindow> ieWindowTitledAs(platform::Windows& windows, platform::WindowId w) {
  const auto title = windows.answeredText(w, TitleBuffer);
  if (!title) return std::nullopt;
  const platform::WindowId found = FindIEWindowByTitle(windows, *title);
  if (!found) return std::nullopt;
  auto foundTitle = found == w ? title : windows.answeredText(found, TitleBuffer);
  if (!foundTitle) return std::nullopt;
  return IEWindow{std::move(*foundTitle), found};
}

}  // namespace

platform::WindowId FindIEWindowByTitle(platform::Windows& windows, const std::string& title) {
  return windows.find(IEWindowClass, title);
}

std::vector<IEWindow> EnumIEWindowTitles(platform::Windows& windows) {
  std::vector<IEWindow> result;
  for (platform::WindowId w : windows.topLevel())
    if (auto ie = ieWindowTitledAs(windows, w)) result.push_back(*ie);
  return result;
}

std::vector<IEWindow> EnumVisibleIEWindows(platform::Windows& windows) {
  std::vector<IEWindow> result;
  const platform::WindowId desktop = windows.desktop();
  for (platform::WindowId w : windows.topLevel()) {
    if (!windows.isVisible(w)) continue;
    const platform::WindowId owner = windows.owner(w);
    if (owner && owner != desktop) continue;
    if (windows.exStyle(w) & platform::ExStyleToolWindow) continue;
    if (windows.className(w, VisibleBuffer) != IEWindowClass) continue;
    if (auto title = windows.answeredText(w, VisibleBuffer)) result.push_back({std::move(*title), w});
  }
  return result;
}

std::string StripIETitleSuffix(const std::string& title) {
  const std::string suffix = IETitleSuffix;
  std::string result;
  std::size_t from = 0;
  for (std::size_t at; (at = title.find(suffix, from)) != std::string::npos; from = at + suffix.size())
    result.append(title, from, at - from);
  result.append(title, from);
  return result;
}

std::optional<IEWindow> GetActiveIEWindow(platform::Windows& windows) {
  // With no foreground window there is no title to go by; an untitled IE
  // window must not pass for the active one.
  const platform::WindowId foreground = windows.foreground();
  if (!foreground) return std::nullopt;
  return ieWindowTitledAs(windows, foreground);
}

bool AnyIEWindowExists(platform::Windows& windows) {
  return windows.findClass(IEWindowClass) != 0;
}

bool CloseIEWindow(platform::Windows& windows, platform::WindowId window) { return windows.postClose(window); }

IEWindowIndex::IEWindowIndex(platform::Windows& windows) : windows_(windows) { retake(); }

void IEWindowIndex::retake() {
  first_.clear();
  // Z order from the top: the first window of a title keeps its place.
  for (auto& [key, id] : windows_.keyedWindows(IEWindowClass)) first_.emplace(std::move(key), id);
}

platform::WindowId IEWindowIndex::findKey(const std::string& key) const {
  const auto it = first_.find(key);
  return it == first_.end() ? 0 : it->second;
}

}  // namespace popup

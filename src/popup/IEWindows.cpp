#include "popup/IEWindows.h"

namespace popup {

namespace {

// The IE window bearing `title`, its own title read back with the handle.
std::optional<IEWindow> ieWindowTitled(platform::Windows& windows, const std::string& title) {
  const platform::WindowId found = FindIEWindowByTitle(windows, title);
  if (!found) return std::nullopt;
  return IEWindow{windows.text(found, TitleBuffer), found};
}

}  // namespace

platform::WindowId FindIEWindowByTitle(platform::Windows& windows, const std::string& title) {
  return windows.find(IEWindowClass, title);
}

std::vector<IEWindow> EnumIEWindowTitles(platform::Windows& windows) {
  std::vector<IEWindow> result;
  for (platform::WindowId w : windows.topLevel())
    if (auto ie = ieWindowTitled(windows, windows.text(w, TitleBuffer))) result.push_back(*ie);
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
    result.push_back({windows.text(w, VisibleBuffer), w});
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
  return ieWindowTitled(windows, windows.text(foreground, TitleBuffer));
}

bool AnyIEWindowExists(platform::Windows& windows) {
  return windows.findClass(IEWindowClass) != 0;
}

void CloseIEWindow(platform::Windows& windows, platform::WindowId window) {
  windows.postClose(window);
}

}  // namespace popup

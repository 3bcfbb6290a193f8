// What an Internet Explorer window is to the popup blocker, and the queries
// over the top-level windows that find, list and close such windows.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>
#include "platform/Windows.h"

namespace popup {

inline constexpr const char* IEWindowClass = "IEFrame";
// What the browser appends to the page title in its caption.
inline constexpr const char* IETitleSuffix = " - Microsoft Internet Explorer";
// Read buffers, the terminating NUL included: titles for the title list,
// lookups and the active window; class names and titles for the visible list.
inline constexpr std::size_t TitleBuffer = 255;
inline constexpr std::size_t VisibleBuffer = 129;

struct IEWindow {
  std::string title;
  platform::WindowId handle = 0;
  bool operator==(const IEWindow&) const = default;
};

// Every top-level window, visible or not, whose title an IE window bears: the
// title of the first IE window of that title, with its handle. An IE window
// is listed once for each top-level window with exactly its title. A window
// that does not tell its title is passed over.
std::vector<IEWindow> EnumIEWindowTitles(platform::Windows& windows);
// The visible, unowned IE windows without the tool-window style, topmost
// first; one that does not tell its title is passed over.
std::vector<IEWindow> EnumVisibleIEWindows(platform::Windows& windows);
// The title with every occurrence of the suffix (letter case included) removed.
std::string StripIETitleSuffix(const std::string& title);
// The first IE window, in Z order, whose whole title equals `title` ignoring
// case; 0 when there is none.
platform::WindowId FindIEWindowByTitle(platform::Windows& windows, const std::string& title);
// The IE window that bears the foreground window's title, if any.
std::optional<IEWindow> GetActiveIEWindow(platform::Windows& windows);
// Whether any IE window exists, visible or not.
bool AnyIEWindowExists(platform::Windows& windows);
// Asks the window to close, without waiting; false when there is no such
// window (0 included) to ask.
bool CloseIEWindow(platform::Windows& windows, platform::WindowId window);

// The IE windows as one enumeration found them, for looking up many titles
// with FindIEWindowByTitle's answer without enumerating for each.
class IEWindowIndex {
 public:
  explicit IEWindowIndex(platform::Windows& windows);
  // FindIEWindowByTitle(title) as it was when the index was last taken.
  platform::WindowId find(const std::string& title) const { return findKey(keyOf(title)); }
  // The same for a title's key, which a caller may keep for many lookups.
  std::string keyOf(const std::string& title) const { return windows_.titleKey(title); }
  platform::WindowId findKey(const std::string& key) const;
  // Takes the windows again, after they may have changed.
  void retake();

 private:
  platform::Windows& windows_;
  std::unordered_map<std::string, platform::WindowId> first_;  // by title key
};

}  // namespace popup

// What an Internet Explorer window is to the popup blocker, and the queries
// over the top-level windows that find, list and close such windows.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>
#include "platform/Clock.h"
#include "platform/Registry.h"
#include "platform/Windows.h"

namespace popup {

inline constexpr const char* IEWindowClass = "IEFrame";
// What the browser appends to the page title in its caption: version 6 and
// earlier, 7 to 9, 10 and 11.
inline constexpr const char* IETitleSuffix = " - Microsoft Internet Explorer";
inline constexpr const char* IE7TitleSuffix = " - Windows Internet Explorer";
inline constexpr const char* IE10TitleSuffix = " - Internet Explorer";
// An InPrivate window's mark, beside the suffix on either side.
inline constexpr const char* InPrivateMark = " - [InPrivate]";
// Where a branded browser keeps the name it shows instead of its own.
inline constexpr const char* IEMainKey = "Software\\Microsoft\\Internet Explorer\\Main";
inline constexpr const char* BrandedTitleValue = "Window Title";
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
// Every IE window, shown or hidden, once each, in Z order from the top,
// whatever its title and whether or not it answers.
std::vector<platform::WindowId> EnumIEWindows(platform::Windows& windows);
// The top-level windows of one enumeration, each with its class. A window
// keeps its class for its whole life, so each is asked for it once, when
// first seen. An enumeration younger than ShareMs serves again: timers that
// tick together share one. A handle missing from one enumeration is
// forgotten; the system gives a handle again only after many windows have
// had it, so a handle met in the next enumeration, taken at most ForgetMs
// later, is the same window. After a longer pause every class is asked again.
class WindowCensus {
 public:
  static constexpr std::uint64_t ShareMs = 50;
  static constexpr std::uint64_t ForgetMs = 1000;
  struct Entry {
    platform::WindowId id = 0;
    std::string cls;
  };
  WindowCensus(platform::Windows& windows, platform::Clock& clock) : windows_(windows), clock_(clock) {}
  // Every top-level window, visible or not, in Z order from the top.
  const std::vector<Entry>& take();
  // The next take enumerates again, however young the last one is.
  void retake() { taken_ = false; }

 private:
  platform::Windows& windows_;
  platform::Clock& clock_;
  std::vector<Entry> entries_;  // Z order
  std::vector<Entry> byId_;     // the same, sorted by handle
  std::uint64_t takenAt_ = 0;
  bool taken_ = false;
};

// Whether a class name is the IE window class, letter case ignored, as the
// system compares class names.
bool IsIEWindowClass(const std::string& cls);

// The visible, unowned IE windows without the tool-window style, topmost
// first; one that does not tell its title is passed over.
std::vector<IEWindow> EnumVisibleIEWindows(platform::Windows& windows, WindowCensus& census);
// The title with every occurrence of the suffix (letter case included) removed.
std::string StripIETitleSuffix(const std::string& title);

// The suffixes a caption on this machine may end with: every version's, and
// " - " with the branded name while the browser has one. The name is read
// again when the list is asked for and RereadMs have passed since.
class BrowserSuffixes {
 public:
  static constexpr unsigned RereadMs = 2000;
  BrowserSuffixes(platform::Registry& registry, platform::Clock& clock) : registry_(registry), clock_(clock) {}
  const std::vector<std::string>& list();

 private:
  platform::Registry& registry_;
  platform::Clock& clock_;
  std::vector<std::string> list_;
  std::string branded_;
  std::uint64_t readAt_ = 0;
  bool read_ = false;
};

// A caption's short title: with the version 6 suffix in it, the caption
// with every occurrence of that suffix removed (letter case included), as
// lists made on such a system hold them; else without the first of the
// other suffixes it ends with and an InPrivate mark beside it; a caption
// without any of them is its own short title.
std::string ShortTitle(const std::string& caption, const std::vector<std::string>& suffixes);
// What may follow an entry in a caption: each suffix alone or with the
// InPrivate mark before or after it.
std::vector<std::string> CaptionEndings(const std::vector<std::string>& suffixes);
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

// The IE windows as one enumeration found them, for looking up the entries
// of a block list by what their captions may end with, each with
// FindIEWindowByTitle's answer for its caption, without enumerating for each.
class IEWindowIndex {
 public:
  IEWindowIndex(platform::Windows& windows, WindowCensus& census, std::vector<std::string> endings);
  // A title's key, which a caller may keep for many lookups.
  std::string keyOf(const std::string& title) const { return windows_.titleKey(title); }
  // The first IE window, in Z order, whose whole caption, letter case
  // ignored, is the entry of this key (keyOf(entry)) followed by one of the
  // endings; 0 when there is none.
  platform::WindowId findEntryKey(const std::string& entryKey) const;
  // Takes the windows again, after they may have changed.
  void retake();

 private:
  void build();

  platform::Windows& windows_;
  WindowCensus& census_;
  std::vector<std::string> endingKeys_;
  std::unordered_map<std::string, platform::WindowId> byEntry_;  // by an entry's key
};

}  // namespace popup

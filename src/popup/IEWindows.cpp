#include "popup/IEWindows.h"
#include <algorithm>
#include <cctype>

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

std::vector<platform::WindowId> EnumIEWindows(platform::Windows& windows) {
  std::vector<platform::WindowId> result;
  for (const platform::Windows::KeyedWindow& w : windows.keyedWindows(IEWindowClass)) result.push_back(w.id);
  return result;
}

namespace {

bool byId(const WindowCensus::Entry& a, const WindowCensus::Entry& b) { return a.id < b.id; }

}  // namespace

const std::vector<WindowCensus::Entry>& WindowCensus::take() {
  const std::uint64_t now = clock_.nowMs();
  if (taken_ && now - takenAt_ < ShareMs) return entries_;
  if (now - takenAt_ > ForgetMs) byId_.clear();
  std::vector<Entry> entries;
  for (platform::WindowId w : windows_.topLevel()) {
    const auto known = std::lower_bound(byId_.begin(), byId_.end(), Entry{w, {}}, byId);
    entries.push_back(known != byId_.end() && known->id == w ? *known : Entry{w, windows_.className(w)});
  }
  entries_ = std::move(entries);
  byId_ = entries_;
  std::sort(byId_.begin(), byId_.end(), byId);
  takenAt_ = now;
  taken_ = true;
  return entries_;
}

bool IsIEWindowClass(const std::string& cls) {
  const std::string ie = IEWindowClass;
  return cls.size() == ie.size() && std::equal(cls.begin(), cls.end(), ie.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

// The class first, known without asking: most windows are no IE windows,
// and most IE windows are hidden. The class is compared as it reads, as
// the list has always compared it.
std::vector<IEWindow> EnumVisibleIEWindows(platform::Windows& windows, WindowCensus& census) {
  std::vector<IEWindow> result;
  const platform::WindowId desktop = windows.desktop();
  for (const WindowCensus::Entry& e : census.take()) {
    if (e.cls.substr(0, VisibleBuffer - 1) != IEWindowClass || !windows.isVisible(e.id)) continue;
    const platform::WindowId owner = windows.owner(e.id);
    if (owner && owner != desktop) continue;
    if (windows.exStyle(e.id) & platform::ExStyleToolWindow) continue;
    if (auto title = windows.answeredText(e.id, VisibleBuffer)) result.push_back({std::move(*title), e.id});
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

const std::vector<std::string>& BrowserSuffixes::list() {
  const std::uint64_t now = clock_.nowMs();
  if (read_ && now - readAt_ < RereadMs) return list_;
  read_ = true;
  readAt_ = now;
  std::string branded;
  if (auto key = registry_.open(platform::Hive::CurrentUser, IEMainKey)) {
    const platform::RegValue v = key->query(BrandedTitleValue);
    if (v.status == platform::RegValue::Status::Found && (v.type == platform::RegSz || v.type == platform::RegExpandSz))
      branded = v.data.substr(0, v.data.find('\0'));
  }
  if (!list_.empty() && branded == branded_) return list_;
  branded_ = branded;
  list_ = {IETitleSuffix, IE7TitleSuffix, IE10TitleSuffix};
  if (!branded_.empty()) list_.push_back(" - " + branded_);
  return list_;
}

namespace {

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string ShortTitle(const std::string& caption, const std::vector<std::string>& suffixes) {
  if (caption.find(IETitleSuffix) != std::string::npos) return StripIETitleSuffix(caption);
  const std::string mark = InPrivateMark;
  const bool markAfter = endsWith(caption, mark);
  const std::string rest = markAfter ? caption.substr(0, caption.size() - mark.size()) : caption;
  for (const std::string& suffix : suffixes) {
    if (suffix.empty() || !endsWith(rest, suffix)) continue;
    std::string title = rest.substr(0, rest.size() - suffix.size());
    if (!markAfter && endsWith(title, mark)) title.resize(title.size() - mark.size());
    return title;
  }
  return caption;
}

std::vector<std::string> CaptionEndings(const std::vector<std::string>& suffixes) {
  std::vector<std::string> endings;
  for (const std::string& suffix : suffixes) {
    endings.push_back(suffix);
    endings.push_back(InPrivateMark + suffix);
    endings.push_back(suffix + InPrivateMark);
  }
  return endings;
}

IEWindowIndex::IEWindowIndex(platform::Windows& windows, WindowCensus& census, std::vector<std::string> endings)
    : windows_(windows), census_(census) {
  for (const std::string& ending : endings) endingKeys_.push_back(windows_.titleKey(ending));
  build();
}

void IEWindowIndex::retake() {
  census_.retake();
  build();
}

void IEWindowIndex::build() {
  byEntry_.clear();
  // Z order from the top: the first window an entry matches keeps its
  // place, whichever ending it has.
  for (const WindowCensus::Entry& e : census_.take()) {
    if (!IsIEWindowClass(e.cls)) continue;
    // A key is the title's letters folded one by one, so an ending's key
    // ends the key of a title that ends with it.
    const std::string key = windows_.windowKey(e.id);
    for (const std::string& ending : endingKeys_)
      if (endsWith(key, ending)) byEntry_.emplace(key.substr(0, key.size() - ending.size()), e.id);
  }
}

platform::WindowId IEWindowIndex::findEntryKey(const std::string& entryKey) const {
  const auto it = byEntry_.find(entryKey);
  return it == byEntry_.end() ? 0 : it->second;
}

}  // namespace popup

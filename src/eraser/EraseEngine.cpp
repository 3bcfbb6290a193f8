#include "eraser/EraseEngine.h"
#include <algorithm>
#include <cctype>
#include <set>
#include "eraser/FolderTree.h"
#include "settings/Readers.h"
#include "settings/Schema.h"

namespace eraser {

namespace se = settings::erase;

const std::array<CategoryInfo, 9> EraseOrder = {{
    {Category::IEHistory, se::IEHistory, true},
    {Category::Cookies, se::Cookies, true},
    {Category::IEAddressBar, se::IEAddressBar, true},
    {Category::IECache, se::IECache, true},
    {Category::RecentDocuments, se::RecentDocuments, true},
    {Category::TempFolder, se::TempFolder, true},
    {Category::RecycleBin, se::RecycleBin, false},
    {Category::RunHistory, se::RunHistory, true},
    {Category::FindHistory, se::FindHistory, true},
}};

namespace {

// Upper-cases the UTF-8 letter at `at` into `out` and returns its length:
// ASCII, and the two-byte letters with a one-to-one capital (Latin-1,
// Greek, Cyrillic), which is how folder names in other scripts than the
// code page's compare as the file system compares them.
std::size_t upperLetter(const std::string& text, std::size_t at, std::string& out) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80 || (lead & 0xE0) != 0xC0 || at + 1 == text.size()) {
    out.push_back(static_cast<char>(std::toupper(lead)));
    return 1;
  }
  unsigned c = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(text[at + 1]) & 0x3Fu);
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) ||
      (c >= 0x430 && c <= 0x44F))
    c -= 0x20;
  else if (c >= 0x450 && c <= 0x45F)
    c -= 0x50;
  out.push_back(static_cast<char>(0xC0 | (c >> 6)));
  out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  return 2;
}

// The path's components, upper-cased, with "." dropped and ".." applied.
std::vector<std::string> components(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  auto flush = [&] {
    if (part == "..") {
      if (parts.size() > 1) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  };
  for (std::size_t at = 0; at < path.size();) {
    if (path[at] == '\\' || path[at] == '/') {
      flush();
      ++at;
    } else {
      at += upperLetter(path, at, part);
    }
  }
  flush();
  return parts;
}

// True when `upper` is a proper ancestor of `lower`.
bool isAbove(const std::vector<std::string>& upper, const std::vector<std::string>& lower) {
  return upper.size() < lower.size() && std::equal(upper.begin(), upper.end(), lower.begin());
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// File names compare as the file system compares them, letter case aside.
std::string upperAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

bool IsSafeEraseFolder(const std::string& folder, const std::vector<std::string>& systemFolders) {
  const std::vector<std::string> target = components(folder);
  // Only a folder below a drive's root (C:\x) or below a share (\\host\share\x); a
  // relative path would depend on the current folder, which file dialogs change.
  const bool onDrive = folder.size() >= 3 && folder[1] == ':' && isSeparator(folder[2]);
  const bool onShare = folder.size() >= 2 && isSeparator(folder[0]) && isSeparator(folder[1]);
  if (!(onDrive && target.size() >= 2) && !(onShare && target.size() >= 3)) return false;
  for (const std::string& system : systemFolders) {
    const std::vector<std::string> guarded = components(system);
    if (!guarded.empty() && (target == guarded || isAbove(target, guarded))) return false;
  }
  return true;
}

EraseEngine::EraseEngine(platform::Platform& platform, ui::Toolkit& toolkit, TIECache& cache,
                         settings::TmRegistry& shellFolderKey, const std::string& tempFolder,
                         std::unique_ptr<platform::UrlHistory>& urlHistory)
    : platform_(platform),
      toolkit_(toolkit),
      cache_(cache),
      shellFolderKey_(shellFolderKey),
      tempFolder_(tempFolder),
      urlHistory_(urlHistory),
      eraseKey_(platform.registry, settings::TmRootKey::rkHKEY_CURRENT_USER, settings::keys::Erase, true),
      processes_(platform.windows, platform.processes, platform.clock) {}

bool EraseEngine::refuseWhileBrowserRuns() {
  if (!processes_.IsProcessRunning(BrowserExe)) return false;
  platform_.dialogs.message(CloseBrowserMessage, toolkit_.title());
  return true;
}

void EraseEngine::btnEraseClick() {
  if (refuseWhileBrowserRuns()) return;
  EraseSelected();
}

void EraseEngine::EraseSelected() {
  for (const CategoryInfo& info : EraseOrder)
    if (selected(info)) Erase(info.category);
}

// The flags are read again only after a watch on the erase key, armed before
// they were read, saw a change: reading nine values cost a pass more
// requests than everything else it does over an empty profile.
bool EraseEngine::selected(const CategoryInfo& info) {
  const auto at = static_cast<std::size_t>(&info - EraseOrder.data());
  if (flagsWatch_ && !flagsWatch_->changed()) return flags_[at];
  flagsWatch_ = platform_.registry.watch(platform::Hive::CurrentUser, settings::normaliseKeyPath(settings::keys::Erase));
  if (flagsWatch_ && !flagsWatch_->arm()) flagsWatch_.reset();
  if (!flagsWatch_) return settings::ReadFlag(eraseKey_, info.flag);
  for (std::size_t i = 0; i < EraseOrder.size(); ++i) flags_[i] = settings::ReadFlag(eraseKey_, EraseOrder[i].flag);
  return flags_[at];
}

void EraseEngine::Erase(Category category) {
  auto info = std::find_if(EraseOrder.begin(), EraseOrder.end(),
                           [category](const CategoryInfo& i) { return i.category == category; });
  if (info->refusesWhileBrowserRuns && refuseWhileBrowserRuns()) return;
  run(category);
}

void EraseEngine::run(Category category) {
  switch (category) {
    case Category::IEHistory:
      if (urlHistory_) urlHistory_->clearHistory();
      deleteCacheEntries(TSearchPattern::spHistory);
      break;
    case Category::Cookies: {
      const std::string folder = shellFolder(shellFolders::Cookies);
      if (kept_ && !kept_->empty()) {
        eraseCookiesKeeping(folder);
        break;
      }
      if (!folder.empty()) ShellDeleteFiles(folder + "\\*.txt");
      deleteCacheEntries(TSearchPattern::spCookies);
      break;
    }
    case Category::IEAddressBar:
      resetKey(historyKeys::TypedUrls);
      break;
    case Category::IECache: {
      deleteCacheEntries(TSearchPattern::spUrl);
      const std::string folder = shellFolder(shellFolders::Cache);
      if (!folder.empty()) deleteTree(folder + "\\");
      break;
    }
    case Category::RecentDocuments: {
      const std::string folder = shellFolder(shellFolders::Recent);
      if (!folder.empty()) ShellDeleteFiles(folder + "\\*.*");
      break;
    }
    case Category::TempFolder:
      deleteTree(tempFolder_);
      break;
    case Category::RecycleBin:
      EmptyRecycleBin();
      break;
    case Category::RunHistory:
      resetKey(historyKeys::RunMru);
      break;
    case Category::FindHistory:
      resetKey(historyKeys::FindMru);
      break;
  }
}

std::string EraseEngine::shellFolder(const char* name) { return shellFolderKey_.ReadPath(name); }

namespace {

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool anythingMatches(platform::Files& files, const std::string& pattern) {
  for (const platform::FileEntry& e : files.find(pattern))
    if (e.name != "." && e.name != "..") return true;
  return false;
}

}  // namespace

// An empty place unchanged since is passed over before anything else is
// asked: there is nothing in it to delete, safe folder or not.
void EraseEngine::deleteTree(const std::string& folder) {
  const std::string everything = folder + "*.*";
  if (stillEmpty(everything) || !IsSafeEraseFolder(folder, systemFolders())) return;
  std::vector<std::string> left;
  DeleteFolderTree(platform_.files, folder, "*.*", true, &left);
  settleTree(folder, left);
}

void EraseEngine::ShellDeleteFiles(const std::string& path) {
  if (path.empty()) return;
  const bool wildcard = path.find_first_of("*?") != std::string::npos;
  if (wildcard && stillEmpty(path)) return;
  // A wildcard path empties its folder: the same folders are off limits.
  if (wildcard && !IsSafeEraseFolder(folderOf(path), systemFolders())) return;
  // Nothing there: the shell's file operation is not asked.
  if (!(wildcard ? lookInto(path) : anythingMatches(platform_.files, path))) return;
  platform_.shell.deleteFiles(path);
}

// Asked at most once in a while: each question costs a dozen registry
// requests, and the system rewrites its own shell-folder values while
// answering. A data folder the user moves is off limits in its new place
// once the answer is older than the while.
const std::vector<std::string>& EraseEngine::systemFolders() {
  const std::uint64_t now = platform_.clock.nowMs();
  if (!systemFolders_ || now - systemFoldersAsked_ >= EmptyPlaceWatchMs) {
    systemFolders_ = platform_.files.systemFolders();
    systemFoldersAsked_ = now;
  }
  return *systemFolders_;
}

bool EraseEngine::stillEmpty(const std::string& pattern) {
  const auto place = std::find_if(emptyPlaces_.begin(), emptyPlaces_.end(),
                                  [&](const EmptyPlace& p) { return p.pattern == pattern; });
  if (place == emptyPlaces_.end()) return false;
  const bool unchanged = std::none_of(place->watches.begin(), place->watches.end(),
                                      [](const auto& watch) { return watch->changed(); });
  if (unchanged && platform_.clock.nowMs() - place->since < EmptyPlaceWatchMs) return true;
  emptyPlaces_.erase(place);
  return false;
}

// The watch begins before the look, so whatever arrives after the look is seen.
bool EraseEngine::lookInto(const std::string& pattern) {
  std::erase_if(emptyPlaces_, [&](const EmptyPlace& p) { return p.pattern == pattern; });
  auto watch = platform_.files.watch(folderOf(pattern));
  const std::uint64_t now = platform_.clock.nowMs();
  const bool anything = anythingMatches(platform_.files, pattern);
  if (watch && !anything) {
    emptyPlaces_.push_back({pattern, {}, now});
    emptyPlaces_.back().watches.push_back(std::move(watch));
  }
  return anything;
}

// What a held file keeps in place (a file another program has open, the
// folders above it) is not walked again while nothing changes around it:
// the walk would fail on the same items. One watch per folder, since a
// watch of a whole tree may miss what arrives in its sub-folders. A file
// its program lets go of is deleted once the while is over.
void EraseEngine::settleTree(const std::string& folder, const std::vector<std::string>& left) {
  const std::set<std::string> failed(left.begin(), left.end());
  EmptyPlace place{folder + "*.*", {}, platform_.clock.nowMs()};
  std::vector<std::string> folders{folder};
  for (std::size_t at = 0; at < folders.size(); ++at) {
    auto watch = platform_.files.watch(folders[at]);
    if (!watch) return;
    place.watches.push_back(std::move(watch));
    for (const platform::FileEntry& e : platform_.files.find(folders[at] + "*.*")) {
      if (e.name == "." || e.name == "..") continue;
      const std::string path = folders[at] + e.name;
      const bool enters = EntersSubFolder(e.attributes);
      // Folders the walk does not enter hold nothing it would delete.
      if ((e.attributes & platform::AttrDirectory) && !enters) continue;
      if (!failed.contains(path)) return;
      if (enters) folders.push_back(path + "\\");
    }
  }
  emptyPlaces_.push_back(std::move(place));
}

void EraseEngine::EmptyRecycleBin() {
  if (platform_.shell.emptyRecycleBin(toolkit_.appWindow()) == platform::RecycleBinResult::NoLibrary)
    platform_.dialogs.error(ShellLoadError, toolkit_.title());
}

// An empty list is left as it is: nothing is written, nobody watching it is woken.
void EraseEngine::resetKey(const char* path) {
  if (auto key = platform_.registry.open(platform::Hive::CurrentUser, path); key && key->empty()) return;
  platform_.registry.deleteTree(platform::Hive::CurrentUser, path);
  platform_.registry.create(platform::Hive::CurrentUser, path);
}

// The entries first: a kept entry's cookie file, whatever the cache named
// it, is kept with it.
void EraseEngine::eraseCookiesKeeping(const std::string& folder) {
  const auto kept = [this](const std::string& what) {
    if (OnCookieKept) OnCookieKept(what);
  };
  std::set<std::string> keptFiles;
  cache_.setSearchPattern(TSearchPattern::spCookies);
  cache_.DeleteEntriesWhere([&](const platform::CacheEntryInfo& entry) {
    if (!kept_->keepsEntry(entry.sourceUrl)) return true;
    kept(entry.sourceUrl);
    if (!entry.localFile.empty()) keptFiles.insert(upperAscii(entry.localFile.substr(entry.localFile.find_last_of("\\/") + 1)));
    return false;
  });
  if (folder.empty()) return;
  for (const platform::FileEntry& e : platform_.files.find(folder + "\\*.txt")) {
    if (e.name == "." || e.name == "..") continue;
    const std::string path = folder + "\\" + e.name;
    if (kept_->keepsFile(e.name) || keptFiles.contains(upperAscii(e.name)))
      kept(path);
    else
      ShellDeleteFiles(path);
  }
}

void EraseEngine::deleteCacheEntries(TSearchPattern pattern) {
  cache_.setSearchPattern(pattern);
  cache_.DeleteAllEntries();
}

}  // namespace eraser

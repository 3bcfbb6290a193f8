// The erase engine: the nine categories of usage traces, the refusal while
// the browser runs, and the erase of every selected category in a fixed order.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include "eraser/CookieSites.h"
#include <vector>
#include "eraser/IECache.h"
#include "eraser/ProcessViewer.h"
#include "platform/Platform.h"
#include "settings/mRegistry.h"
#include "ui/Toolkit.h"

namespace eraser {

enum class Category {
  IEHistory,
  Cookies,
  IEAddressBar,
  IECache,
  RecentDocuments,
  TempFolder,
  RecycleBin,
  RunHistory,
  FindHistory,
};

struct CategoryInfo {
  Category category;
  const char* flag;  // its value in the erase key
  bool refusesWhileBrowserRuns;
};

// The order in which an erase of everything selected runs them.
extern const std::array<CategoryInfo, 9> EraseOrder;

inline constexpr const char* BrowserExe = "IEXPLORE.EXE";
// How long an empty place, or one holding only what the erase cannot delete,
// is passed over on the word of its watches: a watch holds its folder, a
// folder removed while watched goes only when its watch ends, and a file's
// program letting go of it changes nothing a watch sees.
inline constexpr std::uint64_t EmptyPlaceWatchMs = 10000;
inline constexpr const char* CloseBrowserMessage = "Please close all Internet Explorer windows!";
inline constexpr const char* ShellLoadError = "Failed to load Shell32.dll.";

// The folders of the current user's traces, as the shell-folders key names them.
namespace shellFolders {
inline constexpr const char* Recent = "Recent";
inline constexpr const char* Cookies = "Cookies";
inline constexpr const char* Cache = "Cache";
}  // namespace shellFolders

// Lists the erase resets: deleted with every sub-key and created again empty.
namespace historyKeys {
inline constexpr const char* TypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
inline constexpr const char* RunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
inline constexpr const char* FindMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Doc Find Spec MRU";
}  // namespace historyKeys

// True when `folder` may be emptied: not a drive root, and neither one of
// `systemFolders` nor a folder above one of them. Paths are compared after
// resolving "." and ".." and ignoring letter case and trailing separators.
bool IsSafeEraseFolder(const std::string& folder, const std::vector<std::string>& systemFolders);

class EraseEngine {
 public:
  // `shellFolderKey` reads the folder paths; `tempFolder` and `urlHistory`
  // are the main window's, read at the moment a category needs them.
  EraseEngine(platform::Platform& platform, ui::Toolkit& toolkit, TIECache& cache,
              settings::TmRegistry& shellFolderKey, const std::string& tempFolder,
              std::unique_ptr<platform::UrlHistory>& urlHistory);

  // "&Erase": refuses once while the browser runs, then EraseSelected.
  void btnEraseClick();
  // Every category whose flag is exactly "1", in EraseOrder.
  void EraseSelected();
  // One category's command, with its own refusal.
  void Erase(Category category);

  // One category's work without the refusal. The erase preview runs it over
  // services that record what it would remove instead of removing it.
  void run(Category category);

  // The sites whose cookies the cookie erase keeps; none (or an empty list)
  // makes it the wildcard delete of every cookie file and entry.
  void keepCookiesOf(const KeptSites* sites) { kept_ = sites; }
  // Told of each cookie file (its path) and entry (its URL) left for a kept site.
  std::function<void(const std::string&)> OnCookieKept;

  // Whether a browser window is open, asking no question.
  bool browserRuns() { return processes_.IsProcessRunning(BrowserExe); }
  void ShellDeleteFiles(const std::string& path);
  void EmptyRecycleBin();

 private:
  // Whether the category's flag in the erase key is exactly "1".
  bool selected(const CategoryInfo& info);
  // Shows the refusal and answers true when the browser runs.
  bool refuseWhileBrowserRuns();
  // The cookie files and entries one by one, leaving the kept sites' ones.
  void eraseCookiesKeeping(const std::string& folder);
  std::string shellFolder(const char* name);
  void deleteTree(const std::string& folder);
  // Whether the place of `pattern` (a folder and a mask) was found empty,
  // or holding only what the erase cannot delete, by an earlier pass and
  // has not changed since: erasing it again would delete nothing.
  bool stillEmpty(const std::string& pattern);
  // Whether anything matches `pattern`, the folder watched from before the
  // look; the place is remembered as empty when nothing does.
  bool lookInto(const std::string& pattern);
  // After a tree's erase: each folder the next erase would visit is watched,
  // then looked into, and the tree is remembered when all it holds is what
  // this erase failed to delete (`left`).
  void settleTree(const std::string& folder, const std::vector<std::string>& left);
  void resetKey(const char* path);
  // The folders no erase may empty, as the system last named them.
  const std::vector<std::string>& systemFolders();
  void deleteCacheEntries(TSearchPattern pattern);

  platform::Platform& platform_;
  ui::Toolkit& toolkit_;
  TIECache& cache_;
  settings::TmRegistry& shellFolderKey_;
  const std::string& tempFolder_;
  std::unique_ptr<platform::UrlHistory>& urlHistory_;
  settings::TmRegistry eraseKey_;
  ProcessViewer processes_;
  const KeptSites* kept_ = nullptr;
  // The places found empty or settled, each with the watches of its
  // folders, begun before they were looked at, and when that was.
  struct EmptyPlace {
    std::string pattern;
    std::vector<std::unique_ptr<platform::FolderWatch>> watches;
    std::uint64_t since = 0;
  };
  std::vector<EmptyPlace> emptyPlaces_;
  std::optional<std::vector<std::string>> systemFolders_;
  std::uint64_t systemFoldersAsked_ = 0;
  // The flags as last read, in EraseOrder, and the watch begun before.
  std::unique_ptr<platform::KeyWatch> flagsWatch_;
  std::array<bool, std::tuple_size_v<decltype(EraseOrder)>> flags_{};
};

}  // namespace eraser

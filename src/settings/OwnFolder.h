// The program's own folder and the files it keeps there (the block list and
// the typed-URL snapshot). A copy put by hand where the user may not write
// cannot keep them: the first file refused in a run is reported, later ones
// are not, and the program goes on with what it holds in memory.
#pragma once
#include <string>
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "ui/Toolkit.h"

namespace settings {

// Replaces the file at `path` with `data` through a temporary file beside
// it, so the file holds the old content or the new, never a part; nothing
// is left behind when it fails.
bool ReplaceFile(platform::Files& files, const std::string& path, const std::string& data);

class OwnFolder {
 public:
  OwnFolder(platform::Files& files, platform::Dialogs& dialogs, ui::Toolkit& toolkit);

  // The full path of a file of that name in the program's folder (never the
  // current folder, which every file dialog changes).
  std::string pathOf(const std::string& name) const;
  // Replaces the file `name` in the program's folder. False when it could
  // not be written; the first such failure of the run shows "Cannot create
  // file %s" in the application's error box.
  bool save(const std::string& name, const std::string& data);
  // Removes what a save of `name` cut off by a killed process left beside it.
  void removeLeftover(const std::string& name);

 private:
  platform::Files& files_;
  platform::Dialogs& dialogs_;
  ui::Toolkit& toolkit_;
  bool refusalShown_ = false;
};

}  // namespace settings

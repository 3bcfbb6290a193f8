// The block list: the short titles of the IE windows the blocker closes,
// held in the block list window's sorted list and mirrored in the list file
// next to the program; loading, saving, adding, removing, clearing, import
// and export, and the "Counter Block" statistic.
#pragma once
#include <functional>
#include <string>
#include <vector>
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "settings/OwnFolder.h"
#include "settings/mRegistry.h"
#include "ui/Form.h"
#include "ui/ListBox.h"

namespace popup {

inline constexpr const char* BlockListFileName = "tarnwick_block.txt";

class BlockListStore {
 public:
  // `owner` is the window the file dialogs belong to; `counter` is bound to
  // the counter key; the list file is kept in `ownFolder`.
  BlockListStore(platform::Files& files, platform::Dialogs& dialogs, settings::OwnFolder& ownFolder,
                 ui::Form& owner, ui::ListBox& list, settings::TmRegistry& counter);

  // The dialogs of import and export; they remember the last path chosen.
  platform::FileDialogOptions import_block;
  platform::FileDialogOptions export_block;
  // The statistics display to refresh after an entry went away.
  std::function<void()> OnStatisticsChanged;

  // The list file's full path: the program's folder, not the current one.
  std::string listFilePath() const;

  // Empties the list and reads the list file into it. Throws "Cannot open
  // file %s" when the file cannot be read; the list stays empty.
  void LoadBlockList();
  // Writes the whole list to the list file. When it cannot, the file stays
  // as it was and the operation in progress ends: the first time with
  // "Cannot create file %s" (through the program's folder), quietly after.
  void SaveBlockList();
  // False, changing nothing, when an entry equals the title exactly (letter
  // case included); otherwise inserts it at its sorted place and saves. The
  // caller stores the count afterwards (StoreBlockCount).
  bool AddBlockEntry(const std::string& title);
  // Deletes the entry at `index`, saves, stores the count and refreshes the
  // statistics; nothing for an index out of range.
  void RemoveBlockEntry(int index);
  // Empties the list and saves; "Counter Block" keeps its value.
  void ClearBlockList();
  // Asks for a file and, when one is chosen, replaces the list with its
  // lines. Neither the list file nor "Counter Block" changes.
  void ImportBlockList();
  // Asks for a path and, when one is chosen, writes the list there.
  void ExportBlockList();
  // Writes the number of entries to "Counter Block".
  void StoreBlockCount();

 private:
  void readInto(const std::string& path);

  platform::Files& files_;
  platform::Dialogs& dialogs_;
  settings::OwnFolder& ownFolder_;
  ui::Form& owner_;
  ui::ListBox& list_;
  settings::TmRegistry& counter_;
};

}  // namespace popup

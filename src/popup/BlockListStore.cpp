#include "popup/BlockListStore.h"
#include <algorithm>
#include <stdexcept>
#include <tuple>
#include "settings/ListFile.h"
#include "settings/Schema.h"
#include "ui/Toolkit.h"

namespace popup {

namespace {

constexpr const char* TextFilter = "Text file (*.txt)|*.txt";

platform::FileDialogOptions dialogOptions(const char* title, const std::string& folder,
                                          const std::string& name) {
  platform::FileDialogOptions o;
  o.title = title;
  o.filter = TextFilter;
  o.initialFolder = folder;
  o.fileName = name;
  return o;
}

}  // namespace

BlockListStore::BlockListStore(platform::Files& files, platform::Dialogs& dialogs, settings::OwnFolder& ownFolder,
                               ui::Form& owner, ui::ListBox& list, settings::TmRegistry& counter)
    : import_block(dialogOptions("Import Block List...", files.programFolder(), BlockListFileName)),
      export_block(dialogOptions("Export Block List...", files.programFolder(), "")),
      files_(files),
      dialogs_(dialogs),
      ownFolder_(ownFolder),
      owner_(owner),
      list_(list),
      counter_(counter) {}

std::string BlockListStore::listFilePath() const { return ownFolder_.pathOf(BlockListFileName); }

void BlockListStore::readInto(const std::string& path) {
  const auto data = files_.readFile(path);
  if (!data) throw std::runtime_error("Cannot open file " + path);
  list_.setItems(settings::ParseListFile(*data));
}

void BlockListStore::LoadBlockList() {
  list_.clear();
  ownFolder_.removeLeftover(BlockListFileName);
  // Before the first save there is no list file: that is an empty list, not
  // an error. A list file that is there but cannot be read is reported.
  const std::string path = listFilePath();
  if (files_.find(path).empty()) return;
  readInto(path);
}

void BlockListStore::SaveBlockList() {
  if (!ownFolder_.save(BlockListFileName, settings::FormatListFile(list_.items()))) throw ui::Abort();
  export_block.fileName = BlockListFileName;
}

bool BlockListStore::AddBlockEntry(const std::string& title) {
  // The sorted list holds every line equal to the title, letter case aside,
  // side by side.
  const auto& items = list_.items();
  auto from = items.begin(), to = items.end();
  if (list_.sorted()) std::tie(from, to) = std::equal_range(from, to, title, ui::lessIgnoringCase);
  if (std::find(from, to, title) != to) return false;
  list_.add(title);
  SaveBlockList();
  return true;
}

void BlockListStore::RemoveBlockEntry(int index) {
  if (index < 0 || index >= list_.count()) return;
  list_.remove(index);
  SaveBlockList();
  StoreBlockCount();
  if (OnStatisticsChanged) OnStatisticsChanged();
}

void BlockListStore::ClearBlockList() {
  list_.clear();
  SaveBlockList();
}

void BlockListStore::ImportBlockList() {
  const auto path = dialogs_.openFile(owner_.handle(), import_block);
  if (!path) return;
  import_block.fileName = *path;
  list_.clear();
  readInto(*path);
}

void BlockListStore::ExportBlockList() {
  const auto path = dialogs_.saveFile(owner_.handle(), export_block);
  if (!path) return;
  export_block.fileName = *path;
  if (!settings::ReplaceFile(files_, *path, settings::FormatListFile(list_.items())))
    throw std::runtime_error("Cannot create file " + *path);
}

void BlockListStore::StoreBlockCount() {
  counter_.AddValue(settings::counters::CounterBlock, std::to_string(list_.count()));
  counter_.WriteValues();
}

}  // namespace popup

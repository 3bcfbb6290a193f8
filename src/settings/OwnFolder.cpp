#include "settings/OwnFolder.h"

namespace settings {

namespace {
constexpr const char* TempSuffix = ".tmp";
}

bool ReplaceFile(platform::Files& files, const std::string& path, const std::string& data) {
  const std::string temp = path + TempSuffix;
  if (files.writeFile(temp, data) && files.moveFile(temp, path)) return true;
  files.deleteFile(temp);
  return false;
}

OwnFolder::OwnFolder(platform::Files& files, platform::Dialogs& dialogs, ui::Toolkit& toolkit)
    : files_(files), dialogs_(dialogs), toolkit_(toolkit) {}

std::string OwnFolder::pathOf(const std::string& name) const { return files_.programFolder() + name; }

void OwnFolder::removeLeftover(const std::string& name) { files_.deleteFile(pathOf(name) + TempSuffix); }

bool OwnFolder::save(const std::string& name, const std::string& data) {
  const std::string path = pathOf(name);
  if (ReplaceFile(files_, path, data)) return true;
  if (!refusalShown_) {
    refusalShown_ = true;
    dialogs_.error("Cannot create file " + path, toolkit_.title());
  }
  return false;
}

}  // namespace settings

#include "guard/TypedUrls.h"
#include "settings/Readers.h"
#include "settings/Schema.h"

namespace guard {

namespace {

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

bool fitsOnOneLine(const std::string& text) { return text.find_first_of(std::string("\r\n\0", 3)) == std::string::npos; }

}  // namespace

std::string SnapshotText(const Values& values, std::size_t* leftOut) {
  std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + std::string(settings::keys::TypedUrls) + "]";
  std::size_t skipped = 0;
  for (const auto& [name, data] : values) {
    if (!fitsOnOneLine(name) || !fitsOnOneLine(data)) {
      ++skipped;
      continue;
    }
    text += "\r\n\"" + escaped(name) + "\"=\"" + escaped(data) + "\"";
  }
  if (leftOut) *leftOut = skipped;
  return text + "\r\n";
}

TypedUrlGuard::TypedUrlGuard(platform::Platform& platform, settings::TmRegistry& mainKey,
                             settings::OwnFolder& ownFolder, std::string caption)
    : platform_(platform),
      mainKey_(mainKey),
      ownFolder_(ownFolder),
      list_(platform.registry, settings::TmRootKey::rkHKEY_CURRENT_USER, settings::keys::TypedUrls, false),
      caption_(std::move(caption)) {
  // A snapshot's save cut off by a killed process is of no use to anyone.
  ownFolder_.removeLeftover(SnapshotFileName);
}

std::string TypedUrlGuard::snapshotPath() const { return ownFolder_.pathOf(SnapshotFileName); }

void TypedUrlGuard::TakeSnapshot() {
  // An address with letters outside the code page cannot be written to the
  // file as it is: it is left out, never written with "?" in their place.
  const auto values = list_.ReadAllValues();
  if (!values) {
    platform_.dialogs.message(NoTypedUrlsMessage, caption_);
    return;
  }
  ownFolder_.save(SnapshotFileName, SnapshotText(*values));
}

// A list that cannot be read as text differs: the restore replaces it.
bool TypedUrlGuard::listMatches(const std::string& snapshot) {
  try {
    std::size_t unreadable = 0, leftOut = 0;
    const std::string now = SnapshotText(list_.ReadAllValues(&unreadable).value_or(Values{}), &leftOut);
    return unreadable == 0 && leftOut == 0 && now == snapshot;
  } catch (const settings::RegistryError&) {
    return false;
  }
}

void TypedUrlGuard::Restore() {
  if (!settings::isFlagOn(mainKey_.ReadValue(settings::values::LastTyped))) return;
  if (import_ && import_->running()) return;
  import_.reset();
  // Without a snapshot to bring back, deleting the list would only lose the
  // user's addresses: the list stays as it is.
  const auto snapshot = platform_.files.readFile(snapshotPath());
  if (!snapshot || listMatches(*snapshot)) return;
  platform_.registry.deleteTree(platform::Hive::CurrentUser, settings::keys::TypedUrls);
  import_ = platform_.shell.start("open", "regedit.exe", "/s \"" + snapshotPath() + "\"");
}

}  // namespace guard

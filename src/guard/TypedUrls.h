// The typed-URL guard: the snapshot of the browser's typed-address list in
// a registry file beside the program, and the restore that puts the list
// back as the snapshot holds it whenever it has changed.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>
#include "platform/Platform.h"
#include "settings/OwnFolder.h"
#include "settings/mRegistry.h"

namespace guard {

inline constexpr const char* SnapshotFileName = "TypedURLs.reg";
inline constexpr const char* NoTypedUrlsMessage = "Error number #1322";

using Values = std::vector<std::pair<std::string, std::string>>;

// The snapshot file's text: "REGEDIT4", an empty line, the key's line and
// one line per value ("name"="text", backslash and double quote escaped),
// each ended by CR LF. A value whose name or text holds a line break or a
// NUL cannot be written on one line: it is left out, and counted in
// `leftOut` when given.
std::string SnapshotText(const Values& values, std::size_t* leftOut = nullptr);

class TypedUrlGuard {
 public:
  // `mainKey` holds "Last Typed"; `caption` is the message boxes' caption;
  // the snapshot is kept in `ownFolder`.
  TypedUrlGuard(platform::Platform& platform, settings::TmRegistry& mainKey, settings::OwnFolder& ownFolder,
                std::string caption);

  std::string snapshotPath() const;
  // Writes the snapshot of the list as it is now; "Error number #1322" and
  // no file when the list's key is missing. An address whose letters the
  // code page cannot hold is left out of it. A folder that refuses the file
  // is reported by `ownFolder`, and the caller goes on all the same.
  void TakeSnapshot();
  // A change of the list was reported: while "Last Typed" is "1" and the
  // list differs from a readable snapshot, the list is deleted and the
  // snapshot imported by the registry editor. Reports of the import's own
  // changes, which come while it runs, are let pass.
  void Restore();

 private:
  bool listMatches(const std::string& snapshot);

  platform::Platform& platform_;
  settings::TmRegistry& mainKey_;
  settings::OwnFolder& ownFolder_;
  settings::TmRegistry list_;
  std::string caption_;
  std::unique_ptr<platform::StartedProgram> import_;
};

}  // namespace guard

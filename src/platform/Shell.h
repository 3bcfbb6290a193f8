// Shell services: open a document or URL with its registered handler, delete
// files through the shell, empty the Recycle Bin.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include "platform/Windows.h"

namespace platform {

enum class RecycleBinResult { Emptied, NoLibrary, NoFunction };

// What the Recycle Bins of every drive hold together.
struct RecycleBinContent {
  std::uint64_t items = 0;
  std::uint64_t bytes = 0;
};

// A program the shell started, followed until it ends.
class StartedProgram {
 public:
  virtual ~StartedProgram() = default;
  virtual bool running() = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecute with no parameters and no directory, shown normally. The
  // file (a path or a URL) and the parameters are UTF-8.
  virtual void execute(WindowId owner, const std::string& verb, const std::string& file) = 0;
  // ShellExecuteEx with parameters, no directory, shown normally; the
  // program started, or null when none was (or none can be followed).
  virtual std::unique_ptr<StartedProgram> start(const std::string& verb, const std::string& file,
                                                const std::string& parameters) = 0;
  // The shell's file operation FO_DELETE on a one-item source (wildcards
  // allowed), silent and without confirmation, for good (no undo). Its
  // result is not reported.
  virtual void deleteFiles(const std::string& path) = 0;
  // Empties the Recycle Bin of every drive without confirmation, progress
  // or sound, loading "Shell32.dll" for it at run time.
  virtual RecycleBinResult emptyRecycleBin(WindowId owner) = 0;
  // Counts what the Recycle Bin of every drive holds; nothing when the
  // system cannot tell.
  virtual std::optional<RecycleBinContent> queryRecycleBin() = 0;
};

}  // namespace platform

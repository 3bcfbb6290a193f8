// Modal message boxes and file dialogs of the platform.
#pragma once
#include <optional>
#include <string>
#include "platform/Windows.h"

namespace platform {

struct FileDialogOptions {
  std::string title;
  std::string filter;  // "Text file (*.txt)|*.txt": description and pattern pairs split by '|'
  std::string initialFolder;  // a path, UTF-8
  std::string fileName;  // proposed name, or a full path (UTF-8)
  std::string defaultExt;  // empty: none
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void message(const std::string& text, const std::string& caption) = 0;
  // Yes/No confirmation; true for Yes.
  virtual bool question(const std::string& text, const std::string& caption) = 0;
  // The application's error box for an exception raised in a handler.
  virtual void error(const std::string& text, const std::string& caption) = 0;
  // The open and save file dialogs; the chosen path (UTF-8), or nullopt when cancelled.
  // The save dialog never asks before replacing an existing file.
  virtual std::optional<std::string> openFile(WindowId owner, const FileDialogOptions& options) = 0;
  virtual std::optional<std::string> saveFile(WindowId owner, const FileDialogOptions& options) = 0;
};

}  // namespace platform

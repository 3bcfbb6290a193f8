// Message boxes (MessageBoxA), task-modal and owned by this thread's active
// window; the open and save file dialogs of comdlg32.
#pragma once
#include "platform/Dialogs.h"

namespace platform::win32 {

class Dialogs : public platform::Dialogs {
 public:
  void message(const std::string& text, const std::string& caption) override;
  bool question(const std::string& text, const std::string& caption) override;
  void error(const std::string& text, const std::string& caption) override;
  std::optional<std::string> openFile(WindowId owner, const FileDialogOptions& options) override;
  std::optional<std::string> saveFile(WindowId owner, const FileDialogOptions& options) override;
};

}  // namespace platform::win32

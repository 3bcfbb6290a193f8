// Message boxes (MessageBoxA), task-modal and owned by this thread's active window.
#pragma once
#include "platform/Dialogs.h"

namespace platform::win32 {

class Dialogs : public platform::Dialogs {
 public:
  void message(const std::string& text, const std::string& caption) override;
  bool question(const std::string& text, const std::string& caption) override;
  void error(const std::string& text, const std::string& caption) override;
};

}  // namespace platform::win32

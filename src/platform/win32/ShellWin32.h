// ShellExecuteA for opening URLs and documents and starting programs.
#pragma once
#include "platform/Shell.h"

namespace platform::win32 {

class Shell : public platform::Shell {
 public:
  void execute(WindowId owner, const std::string& verb, const std::string& file) override;
};

}  // namespace platform::win32

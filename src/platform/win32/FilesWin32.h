// File-system facts on kernel32.
#pragma once
#include "platform/Files.h"

namespace platform::win32 {

class Files : public platform::Files {
 public:
  std::string tempFolder() override;
};

// The folder of the running program, with its trailing backslash.
std::string programFolder();

}  // namespace platform::win32

// The process service on the toolhelp snapshot of kernel32.
#pragma once
#include "platform/Processes.h"

namespace platform::win32 {

class Processes : public platform::Processes {
 public:
  Processes();
  std::vector<ProcessRecord> snapshot() override;

 private:
  // The toolhelp functions, found by name in kernel32 once; null when missing.
  void* create_ = nullptr;
  void* first_ = nullptr;
  void* next_ = nullptr;
};

}  // namespace platform::win32

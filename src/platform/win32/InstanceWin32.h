// The single-instance rule on a named kernel mutex.
#pragma once
#include <vector>
#include "platform/Instance.h"

namespace platform::win32 {

class Instance : public platform::Instance {
 public:
  bool claim(const std::string& name) override;

 private:
  // Never closed: the name stays held until the process ends.
  std::vector<void*> handles_;
};

}  // namespace platform::win32

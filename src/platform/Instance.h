// Single-instance rule: a named mutex held for the process's lifetime.
#pragma once
#include <string>

namespace platform {

class Instance {
 public:
  virtual ~Instance() = default;
  // Creates the mutex with initial ownership; true only when this process is
  // the first to hold the name (the handle stays open until exit).
  virtual bool claim(const std::string& name) = 0;
};

}  // namespace platform

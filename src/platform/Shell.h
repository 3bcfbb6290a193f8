// Shell services: open a document or URL with its registered handler.
#pragma once
#include <string>
#include "platform/Windows.h"

namespace platform {

class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecute with no parameters and no directory, shown normally.
  virtual void execute(WindowId owner, const std::string& verb, const std::string& file) = 0;
};

}  // namespace platform

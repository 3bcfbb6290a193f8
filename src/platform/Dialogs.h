// Modal message boxes of the platform.
#pragma once
#include <string>

namespace platform {

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void message(const std::string& text, const std::string& caption) = 0;
  // Yes/No confirmation; true for Yes.
  virtual bool question(const std::string& text, const std::string& caption) = 0;
  // The application's error box for an exception raised in a handler.
  virtual void error(const std::string& text, const std::string& caption) = 0;
};

}  // namespace platform

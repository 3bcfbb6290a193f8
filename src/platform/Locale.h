// The user's number format.
#pragma once
#include <string>

namespace platform {

class Locale {
 public:
  virtual ~Locale() = default;
  // What stands between groups of three digits ("," for English).
  virtual std::string thousandSeparator() = 0;
};

}  // namespace platform

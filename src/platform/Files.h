// File-system facts the program needs.
#pragma once
#include <string>

namespace platform {

class Files {
 public:
  virtual ~Files() = default;
  // The user's temp folder with its trailing separator, as GetTempPathA
  // reports it into a buffer of 257 characters.
  virtual std::string tempFolder() = 0;
};

}  // namespace platform

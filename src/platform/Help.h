// The HTML help viewer: the three requests the program makes of it.
#pragma once
#include <string>

namespace platform {

// `file` is a path (UTF-8), relative to the program's folder unless it is full.
class Help {
 public:
  virtual ~Help() = default;
  virtual void contents(const std::string& file) = 0;
  virtual void topic(const std::string& file, const std::string& page) = 0;
  virtual void closeAll() = 0;
};

}  // namespace platform

// The user's number format from the locale settings.
#pragma once
#include "platform/Locale.h"

namespace platform::win32 {

class Locale : public platform::Locale {
 public:
  std::string thousandSeparator() override;
};

}  // namespace platform::win32

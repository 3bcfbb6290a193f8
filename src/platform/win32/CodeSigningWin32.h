// Authenticode judged by WinVerifyTrust on a file held open with read
// sharing only.
#pragma once
#include "platform/CodeSigning.h"

namespace platform::win32 {

class CodeSigning : public platform::CodeSigning {
 public:
  std::unique_ptr<HeldFile> hold(const std::string& path) override;
};

}  // namespace platform::win32

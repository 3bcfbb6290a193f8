// Code signatures: a file held open so that nothing can write to it, and the
// system's judgement of its Authenticode signature, taken from the held file.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

struct SignatureVerdict {
  std::uint32_t status = 0;  // the system's trust result: 0 when the signature verifies
  std::string signerSha256;  // the signer certificate's SHA-256, lower-case hex; empty when none
};

// While it lives, the file can be read and run but not written, replaced or
// deleted.
class HeldFile {
 public:
  virtual ~HeldFile() = default;
  virtual SignatureVerdict verifySignature() = 0;
  // The product version its version resource names; empty when it has none.
  virtual std::string version() = 0;
};

class CodeSigning {
 public:
  virtual ~CodeSigning() = default;
  // Null when the file cannot be opened, or is open for writing elsewhere.
  virtual std::unique_ptr<HeldFile> hold(const std::string& path) = 0;  // a UTF-8 path
};

}  // namespace platform

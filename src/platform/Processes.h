// Process service: a snapshot of the running processes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct ProcessRecord {
  std::uint32_t pid = 0;
  std::string exeFile;  // as the snapshot reports it: a bare file name or a full path
};

class Processes {
 public:
  virtual ~Processes() = default;
  // Every process, in snapshot order; empty when no snapshot can be taken.
  virtual std::vector<ProcessRecord> snapshot() = 0;
};

}  // namespace platform

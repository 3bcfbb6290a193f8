// The registry service on the Win32 registry (advapi32, wide calls).
#pragma once
#include <windows.h>
#include "platform/Registry.h"

namespace platform::win32 {

HKEY hiveHandle(Hive hive);

// An open key, closed when the object goes.
class RegistryKey : public platform::RegistryKey {
 public:
  explicit RegistryKey(HKEY key) : key_(key) {}
  ~RegistryKey() override;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  RegValue query(const std::string& name) override;
  RegValue queryPath(const std::string& name) override;
  bool setString(const std::string& name, const std::string& text) override;
  bool setPath(const std::string& name, const std::string& path) override;
  bool deleteValue(const std::string& name) override;
  std::vector<std::string> valueNames() override;
  bool empty() override;
  HKEY handle() const { return key_; }

 private:
  HKEY key_;
};

class Registry : public platform::Registry {
 public:
  // Paths have no leading or trailing backslash.
  std::unique_ptr<platform::RegistryKey> open(Hive hive, const std::string& path) override;
  std::unique_ptr<platform::RegistryKey> create(Hive hive, const std::string& path) override;
  bool deleteTree(Hive hive, const std::string& path) override;
  std::unique_ptr<platform::KeyWatch> watch(Hive hive, const std::string& path) override;
};

}  // namespace platform::win32

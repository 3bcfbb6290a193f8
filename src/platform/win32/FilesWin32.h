// The file-system service on kernel32: UTF-8 paths through the wide calls.
#pragma once
#include "platform/Files.h"

namespace platform::win32 {

class Files : public platform::Files {
 public:
  std::string tempFolder() override;
  std::string programFolder() override;
  std::vector<std::string> systemFolders() override;
  std::vector<FileEntry> find(const std::string& pattern) override;
  bool deleteFile(const std::string& path) override;
  bool setAttributes(const std::string& path, std::uint32_t attributes) override;
  bool removeFolder(const std::string& path) override;
  bool inUse(const std::string& path) override;
  std::optional<std::string> readFile(const std::string& path) override;
  bool writeFile(const std::string& path, const std::string& data) override;
  std::unique_ptr<FileWriter> createFile(const std::string& path) override;
  bool moveFile(const std::string& from, const std::string& to) override;
  std::unique_ptr<FolderWatch> watch(const std::string& folder) override;
};

// The folder of the running program, with its trailing backslash.
std::string programFolder();

}  // namespace platform::win32

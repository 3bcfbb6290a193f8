// An in-memory file system for native tests: folders and files with
// attributes, files held open without sharing, folder links, folders the
// user may not write in, and writes that can be made to fail part-way.
// Paths are UTF-8 and ignore the case of ASCII letters.
#pragma once
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>
#include "platform/Files.h"

namespace fake {

class FakeFiles : public platform::Files {
 public:
  struct Node {
    std::string path;  // as created, without a trailing separator
    bool folder = false;
    std::uint32_t attributes = 0;
    std::string data;
    bool locked = false;     // held open without sharing: cannot be deleted
    std::string linkTarget;  // a folder link: searches inside it list the target
    bool writeProtected = false;  // a folder the user may only read: nothing is written or moved into it
  };

  std::string temp = "C:\\Users\\user\\Temp\\";
  std::string program = "C:\\Tarnwick\\";
  std::vector<std::string> system = {"C:\\windows", "C:\\windows\\system32", "C:\\users\\user"};
  // Every change made through the service, in order: "delete:PATH",
  // "attributes:PATH:N", "rmdir:PATH", "write:PATH", "move:FROM>TO".
  std::vector<std::string> log;
  // When set, the next writeFile stores only this many bytes and fails.
  std::optional<std::size_t> failWriteAfter;
  // False: no folder can be watched.
  bool watchable = true;

  // Test helpers; parents are created as plain folders when missing.
  Node& addFolder(const std::string& path, std::uint32_t attributes = 0);
  Node& addFile(const std::string& path, const std::string& data = "", std::uint32_t attributes = 0);
  Node& addLink(const std::string& path, const std::string& target);
  bool exists(const std::string& path) const;
  Node* node(const std::string& path);
  // Every path beneath `folder` (not the folder itself), sorted.
  std::vector<std::string> below(const std::string& folder) const;

  std::string tempFolder() override { return temp; }
  std::string programFolder() override { return program; }
  std::vector<std::string> systemFolders() override { return system; }
  std::vector<platform::FileEntry> find(const std::string& pattern) override;
  bool deleteFile(const std::string& path) override;
  bool setAttributes(const std::string& path, std::uint32_t attributes) override;
  bool removeFolder(const std::string& path) override;
  bool inUse(const std::string& path) override {
    const Node* n = node(path);
    return n && n->locked;
  }
  std::optional<std::string> readFile(const std::string& path) override;
  bool writeFile(const std::string& path, const std::string& data) override;
  std::unique_ptr<platform::FileWriter> createFile(const std::string& path) override;
  bool moveFile(const std::string& from, const std::string& to) override;
  // Sees every change made through the service or the helpers above (not
  // those made on a Node directly, such as a lock taken or released).
  std::unique_ptr<platform::FolderWatch> watch(const std::string& folder) override;
  // Records a change of `path` for the watches.
  void touched(const std::string& path) { changes_.push_back(key(path)); }

 private:
  static std::string key(const std::string& path);
  std::string resolve(const std::string& path) const;  // follows folder links in the parent part
  std::vector<const Node*> children(const std::string& folderKey) const;
  std::map<std::string, Node> nodes_;  // by upper-cased path
  std::vector<std::string> changes_;   // upper-cased paths of every change, in order
};

}  // namespace fake

// TmRegistry: a registry key component bound to one key. Reads return text,
// writes are queued with AddValue and written together by WriteValues. The
// key is opened for each operation and closed again.
#pragma once
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>
#include "platform/Registry.h"

namespace settings {

enum class TmRootKey {
  rkHKEY_CLASSES_ROOT,
  rkHKEY_CURRENT_USER,
  rkHKEY_LOCAL_MACHINE,
  rkHKEY_USERS,
  rkHKEY_CURRENT_CONFIG,
};

// The three errors of the component; the message names the value.
class RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TmRegistry {
 public:
  explicit TmRegistry(platform::Registry& registry) : registry_(registry) {}
  TmRegistry(platform::Registry& registry, TmRootKey root, std::string key, bool canCreate)
      : RootKey(root), Key(std::move(key)), CanCreate(canCreate), registry_(registry) {}

  TmRootKey RootKey = TmRootKey::rkHKEY_LOCAL_MACHINE;
  std::string Key;
  bool CanCreate = true;

  // The value's text, or "" when the key or value is missing.
  // Throws RegistryError for data that is not a string; once that has been
  // reported, the same value, unchanged, reads as missing (a timer that
  // meets it every second reports it once).
  std::string ReadValue(const std::string& name);
  // The same for a value that holds a file-system path: UTF-8, whole.
  std::string ReadPath(const std::string& name);
  // Every value of the key with its whole text (only its terminating NUL
  // taken off), in the order the registry enumerates them; nothing when the
  // key cannot be opened. A value whose text holds letters outside the code
  // page is left out (never cut to "?") and counted in `leftOut` when given.
  // Throws RegistryError as ReadValue does.
  std::optional<std::vector<std::pair<std::string, std::string>>> ReadAllValues(std::size_t* leftOut = nullptr);
  void AddValue(const std::string& name, const std::string& text);
  // Queues a path, written whole as UTF-8.
  void AddPath(const std::string& name, const std::string& path);
  // Writes and empties the pending list; false when the key could be
  // neither opened nor created. Throws RegistryError when a write is refused.
  bool WriteValues();

  std::size_t pendingCount() const { return pending_.size(); }

 private:
  platform::Registry& registry_;
  struct Pending {
    std::string name, text;
    bool path;
  };
  std::vector<Pending> pending_;
  // The values reported as unreadable, by name, with their type and data then.
  std::map<std::string, std::pair<std::uint32_t, std::string>> refused_;
};

// "\software\x\" and "software\x" name the same key.
std::string normaliseKeyPath(const std::string& path);
platform::Hive hiveOf(TmRootKey root);

}  // namespace settings

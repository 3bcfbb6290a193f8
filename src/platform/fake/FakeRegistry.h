// An in-memory registry for native tests: keys and value names ignore case,
// keys can be made unopenable, writes can be refused, and a whole hive can
// be closed to changes. Watches are
// signalled by every change made through it, from any thread; a key deleted
// and made again is another key, as in the real registry.
#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>
#include "platform/Registry.h"

namespace fake {

class FakeRegistry : public platform::Registry {
 public:
  struct Value {
    std::string name;  // as first written
    std::uint32_t type = platform::RegSz;
    std::string data;  // raw bytes; strings include their NUL
    // Written as a path: UTF-8, whose letters beyond ASCII the fake's code
    // page does not hold (read as text they come back as "?").
    bool path = false;
  };
  struct Key {
    std::map<std::string, Value> values;  // by lower-cased name
    bool locked = false;                  // cannot be opened with full access
    bool refuseWrites = false;
    std::set<std::string> failingReads;   // lower-cased names whose data cannot be read
    unsigned generation = 0;              // which key of this path it is
  };

  std::unique_ptr<platform::RegistryKey> open(platform::Hive hive, const std::string& path) override;
  std::unique_ptr<platform::RegistryKey> create(platform::Hive hive, const std::string& path) override;
  bool deleteTree(platform::Hive hive, const std::string& path) override;
  std::unique_ptr<platform::KeyWatch> watch(platform::Hive hive, const std::string& path) override;

  // Test helpers.
  void setString(platform::Hive hive, const std::string& path, const std::string& name, const std::string& text);
  void setRaw(platform::Hive hive, const std::string& path, const std::string& name, std::uint32_t type,
              const std::string& data);
  // The text of a string value without its NUL; nothing when missing.
  std::optional<std::string> text(platform::Hive hive, const std::string& path, const std::string& name) const;
  bool exists(platform::Hive hive, const std::string& path) const;
  // Number of values in the key; 0 when missing.
  std::size_t valueCount(platform::Hive hive, const std::string& path) const;
  Key& key(platform::Hive hive, const std::string& path);  // created when missing
  // Forbids creating this key (as for the local machine's keys without rights).
  void forbidCreate(platform::Hive hive, const std::string& path);
  // Hives the user may read but not change, as the local machine's is for a
  // program without administrator rights: no key of theirs opens with full
  // access, is created or is deleted.
  std::set<platform::Hive> readOnlyHives;
  int writes = 0;  // values written through keys
  // Not negative: that many more writes succeed, then every write is
  // refused, as if the process had been killed there.
  int writesLeft = -1;
  // Watches opened and not yet gone, and those armed and waiting for a change.
  std::size_t liveWatches();
  std::size_t armedWatches();

  // Signals the watches of the key `keyId` and of the keys above it.
  void changed(const std::string& keyId);
  bool hasSubKeys(const std::string& keyId);
  std::recursive_mutex& mutex() { return mutex_; }

 private:
  struct Watched;
  class Watch;
  static std::string id(platform::Hive hive, const std::string& path);
  Key& obtain(const std::string& keyId);
  std::map<std::string, Key> keys_;
  std::set<std::string> forbidden_;
  unsigned generations_ = 0;
  std::vector<std::weak_ptr<Watched>> watches_;
  std::recursive_mutex mutex_;
};

}  // namespace fake

// Registry service: keys addressed by hive and path, values read with their
// type, string values written. Names and paths ignore letter case. Key
// paths, value names and string data are the ANSI code page's text, stored
// as the system stores it; a path-valued string goes in and out whole as
// UTF-8 through queryPath and setPath.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class Hive { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

// Registry value types, numbered as the registry numbers them.
enum RegType : std::uint32_t {
  RegNone = 0,
  RegSz = 1,
  RegExpandSz = 2,
  RegBinary = 3,
  RegDword = 4,
  RegMultiSz = 7,
};

struct RegValue {
  enum class Status { Found, Missing, Failed };
  Status status = Status::Missing;
  std::uint32_t type = RegNone;
  std::string data;  // raw bytes as stored; a string's text in the code page (or UTF-8 from queryPath)
  // A string holding letters outside the code page, each replaced by "?".
  bool approximated = false;
};

class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // Two-step query as the registry does it: type and size first, then data.
  virtual RegValue query(const std::string& name) = 0;
  // A path-valued string: its text as UTF-8, whatever its letters.
  virtual RegValue queryPath(const std::string& name) = 0;
  // Writes `text` and its terminating NUL as REG_SZ. False when refused.
  virtual bool setString(const std::string& name, const std::string& text) = 0;
  // The same for a UTF-8 path, kept whole; false too when it is not UTF-8.
  virtual bool setPath(const std::string& name, const std::string& path) = 0;
  // Deletes the value; a value that is not there is no failure.
  virtual bool deleteValue(const std::string& name) = 0;
  // The names of the key's values, in the order the registry enumerates them.
  virtual std::vector<std::string> valueNames() = 0;
  // Neither values nor sub-keys.
  virtual bool empty() = 0;
};

// Change notification on one open key: a value set or deleted, a sub-key
// added or removed, attributes or security changed, in the key or anywhere
// beneath it. The key is the one that was opened: once it is deleted, a
// key made again under the same path is another key.
class KeyWatch {
 public:
  virtual ~KeyWatch() = default;
  // Asks for the next change to be signalled; false when the system
  // refuses (as for a key deleted since it was opened).
  virtual bool arm() = 0;
  // Blocks until a change signalled since the last arm, or until cancel();
  // true for a change, false once cancelled.
  virtual bool wait() = 0;
  // Whether a change was signalled since the last arm, without waiting.
  virtual bool changed() = 0;
  // Ends the present wait and every later one; from any thread.
  virtual void cancel() = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens an existing key with full access; null when it cannot be opened.
  virtual std::unique_ptr<RegistryKey> open(Hive hive, const std::string& path) = 0;
  // Opens the key, creating it (and its parents) when missing; null on failure.
  virtual std::unique_ptr<RegistryKey> create(Hive hive, const std::string& path) = 0;
  // Deletes the key with its values and every sub-key beneath it, sub-keys
  // from the last index to the first. False when something could not be deleted.
  virtual bool deleteTree(Hive hive, const std::string& path) = 0;
  // Opens an existing key for change notification (read access, not armed
  // yet); null when it cannot be opened.
  virtual std::unique_ptr<KeyWatch> watch(Hive hive, const std::string& path) = 0;
};

}  // namespace platform

#include "settings/mRegistry.h"

namespace settings {

namespace {

std::string formatError(const char* pattern, const std::string& name) {
  std::string text(pattern);
  text.replace(text.find("%s"), 2, name);
  return text;
}

}  // namespace

std::string normaliseKeyPath(const std::string& path) {
  std::size_t first = path.find_first_not_of('\\');
  if (first == std::string::npos) return "";
  std::size_t last = path.find_last_not_of('\\');
  return path.substr(first, last - first + 1);
}

platform::Hive hiveOf(TmRootKey root) {
  switch (root) {
    case TmRootKey::rkHKEY_CLASSES_ROOT: return platform::Hive::ClassesRoot;
    case TmRootKey::rkHKEY_CURRENT_USER: return platform::Hive::CurrentUser;
    case TmRootKey::rkHKEY_LOCAL_MACHINE: return platform::Hive::LocalMachine;
    case TmRootKey::rkHKEY_USERS: return platform::Hive::Users;
    case TmRootKey::rkHKEY_CURRENT_CONFIG: return platform::Hive::CurrentConfig;
  }
  return platform::Hive::LocalMachine;
}

namespace {

// A string value as read; throws for a value that cannot be read or is no string.
const platform::RegValue& stringValue(const platform::RegValue& v, const std::string& name) {
  switch (v.status) {
    case platform::RegValue::Status::Missing: return v;
    case platform::RegValue::Status::Failed: throw RegistryError(formatError("Failed to get data for '%s'", name));
    case platform::RegValue::Status::Found: break;
  }
  if (v.type != platform::RegSz && v.type != platform::RegExpandSz)
    throw RegistryError(formatError("Invalid data type for '%s'", name));
  return v;
}

}  // namespace

std::string TmRegistry::ReadValue(const std::string& name) {
  auto key = registry_.open(hiveOf(RootKey), normaliseKeyPath(Key));
  if (!key) return "";
  const platform::RegValue v = key->query(name);
  // A value of another type is reported once; until its type or data
  // changes it reads as missing, so a timer that meets it opens no box a tick.
  const bool text = v.status != platform::RegValue::Status::Found || v.type == platform::RegSz ||
                    v.type == platform::RegExpandSz;
  if (text) {
    refused_.erase(name);
  } else if (auto r = refused_.find(name); r != refused_.end() && r->second == std::make_pair(v.type, v.data)) {
    return "";
  } else {
    refused_[name] = {v.type, v.data};
  }
  const std::string data = stringValue(v, name).data;
  return data.substr(0, data.find('\0'));
}

std::string TmRegistry::ReadPath(const std::string& name) {
  auto key = registry_.open(hiveOf(RootKey), normaliseKeyPath(Key));
  if (!key) return "";
  const std::string data = stringValue(key->queryPath(name), name).data;
  return data.substr(0, data.find('\0'));
}

std::optional<std::vector<std::pair<std::string, std::string>>> TmRegistry::ReadAllValues(std::size_t* leftOut) {
  if (leftOut) *leftOut = 0;
  auto key = registry_.open(hiveOf(RootKey), normaliseKeyPath(Key));
  if (!key) return std::nullopt;
  std::vector<std::pair<std::string, std::string>> values;
  for (const std::string& name : key->valueNames()) {
    platform::RegValue v = stringValue(key->query(name), name);
    if (v.approximated) {
      if (leftOut) ++*leftOut;
      continue;
    }
    if (!v.data.empty() && v.data.back() == '\0') v.data.pop_back();
    values.emplace_back(name, std::move(v.data));
  }
  return values;
}

void TmRegistry::AddValue(const std::string& name, const std::string& text) { pending_.push_back({name, text, false}); }

void TmRegistry::AddPath(const std::string& name, const std::string& path) { pending_.push_back({name, path, true}); }

bool TmRegistry::WriteValues() {
  auto pending = std::move(pending_);
  pending_.clear();
  const std::string path = normaliseKeyPath(Key);
  auto key = registry_.open(hiveOf(RootKey), path);
  if (!key && CanCreate) key = registry_.create(hiveOf(RootKey), path);
  if (!key) return false;
  for (const auto& [name, text, path] : pending)
    if (!(path ? key->setPath(name, text) : key->setString(name, text)))
      throw RegistryError(formatError("Failed to set data for '%s'", name));
  return true;
}

}  // namespace settings

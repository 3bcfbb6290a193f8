#include "platform/fake/FakeRegistry.h"
#include <algorithm>
#include <cctype>

namespace fake {

namespace {

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

class FakeKey : public platform::RegistryKey {
 public:
  FakeKey(FakeRegistry& owner, FakeRegistry::Key& key) : owner_(owner), key_(key) {}
  platform::RegValue query(const std::string& name) override {
    platform::RegValue v;
    auto it = key_.values.find(lower(name));
    if (it == key_.values.end()) return v;
    if (key_.failingReads.count(lower(name))) {
      v.status = platform::RegValue::Status::Failed;
      return v;
    }
    v.status = platform::RegValue::Status::Found;
    v.type = it->second.type;
    v.data = it->second.data;
    return v;
  }
  bool setString(const std::string& name, const std::string& text) override {
    if (key_.refuseWrites) return false;
    auto& value = key_.values[lower(name)];
    if (value.name.empty()) value.name = name;
    value.type = platform::RegSz;
    value.data = text + '\0';
    ++owner_.writes;
    return true;
  }
  bool deleteValue(const std::string& name) override {
    if (key_.refuseWrites) return false;
    key_.values.erase(lower(name));
    return true;
  }

 private:
  FakeRegistry& owner_;
  FakeRegistry::Key& key_;
};

}  // namespace

std::string FakeRegistry::id(platform::Hive hive, const std::string& path) {
  std::string p = lower(path);
  while (!p.empty() && p.front() == '\\') p.erase(p.begin());
  while (!p.empty() && p.back() == '\\') p.pop_back();
  return std::to_string(static_cast<int>(hive)) + ":" + p;
}

std::unique_ptr<platform::RegistryKey> FakeRegistry::open(platform::Hive hive, const std::string& path) {
  auto it = keys_.find(id(hive, path));
  if (it == keys_.end() || it->second.locked) return nullptr;
  return std::make_unique<FakeKey>(*this, it->second);
}

std::unique_ptr<platform::RegistryKey> FakeRegistry::create(platform::Hive hive, const std::string& path) {
  const std::string k = id(hive, path);
  if (forbidden_.count(k)) return nullptr;
  Key& created = keys_[k];
  if (created.locked) return nullptr;
  return std::make_unique<FakeKey>(*this, created);
}

void FakeRegistry::setString(platform::Hive hive, const std::string& path, const std::string& name,
                             const std::string& text) {
  setRaw(hive, path, name, platform::RegSz, text + '\0');
}

void FakeRegistry::setRaw(platform::Hive hive, const std::string& path, const std::string& name,
                          std::uint32_t type, const std::string& data) {
  auto& value = key(hive, path).values[lower(name)];
  value.name = name;
  value.type = type;
  value.data = data;
}

std::optional<std::string> FakeRegistry::text(platform::Hive hive, const std::string& path,
                                              const std::string& name) const {
  auto k = keys_.find(id(hive, path));
  if (k == keys_.end()) return std::nullopt;
  auto v = k->second.values.find(lower(name));
  if (v == k->second.values.end()) return std::nullopt;
  return v->second.data.substr(0, v->second.data.find('\0'));
}

bool FakeRegistry::exists(platform::Hive hive, const std::string& path) const {
  return keys_.count(id(hive, path)) != 0;
}

FakeRegistry::Key& FakeRegistry::key(platform::Hive hive, const std::string& path) { return keys_[id(hive, path)]; }

void FakeRegistry::forbidCreate(platform::Hive hive, const std::string& path) { forbidden_.insert(id(hive, path)); }

bool FakeRegistry::deleteTree(platform::Hive hive, const std::string& path) {
  const std::string root = id(hive, path);
  auto it = keys_.find(root);
  if (it == keys_.end() || it->second.locked) return false;
  // The key itself and every key whose path lies beneath it.
  for (auto k = keys_.begin(); k != keys_.end();) {
    if (k->first == root || k->first.rfind(root + "\\", 0) == 0)
      k = keys_.erase(k);
    else
      ++k;
  }
  return true;
}

std::size_t FakeRegistry::valueCount(platform::Hive hive, const std::string& path) const {
  auto it = keys_.find(id(hive, path));
  return it == keys_.end() ? 0 : it->second.values.size();
}

}  // namespace fake

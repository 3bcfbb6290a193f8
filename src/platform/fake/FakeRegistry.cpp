#include "platform/fake/FakeRegistry.h"
#include <algorithm>
#include <cctype>
#include <condition_variable>

namespace fake {

namespace {

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

class FakeKey : public platform::RegistryKey {
 public:
  FakeKey(FakeRegistry& owner, FakeRegistry::Key& key, std::string id) : owner_(owner), key_(key), id_(std::move(id)) {}
  platform::RegValue queryPath(const std::string& name) override {
    std::lock_guard lock(owner_.mutex());
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
  platform::RegValue query(const std::string& name) override {
    platform::RegValue v = queryPath(name);
    std::lock_guard lock(owner_.mutex());
    auto it = key_.values.find(lower(name));
    if (it == key_.values.end() || !it->second.path) return v;
    std::string text;
    for (char c : v.data) {
      if (static_cast<unsigned char>(c) < 0x80) {
        text.push_back(c);
      } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {  // one "?" per letter
        text.push_back('?');
        v.approximated = true;
      }
    }
    v.data = text;
    return v;
  }
  bool setString(const std::string& name, const std::string& text) override { return set(name, text, false); }
  bool setPath(const std::string& name, const std::string& path) override { return set(name, path, true); }
  bool deleteValue(const std::string& name) override {
    std::lock_guard lock(owner_.mutex());
    if (key_.refuseWrites) return false;
    if (key_.values.erase(lower(name))) owner_.changed(id_);
    return true;
  }
  bool empty() override {
    std::lock_guard lock(owner_.mutex());
    return key_.values.empty() && !owner_.hasSubKeys(id_);
  }
  std::vector<std::string> valueNames() override {
    std::lock_guard lock(owner_.mutex());
    std::vector<std::string> names;
    for (auto& [lowered, value] : key_.values) names.push_back(value.name);
    return names;
  }

 private:
  bool set(const std::string& name, const std::string& text, bool path) {
    std::lock_guard lock(owner_.mutex());
    if (key_.refuseWrites || owner_.writesLeft == 0) return false;
    if (owner_.writesLeft > 0) --owner_.writesLeft;
    auto& value = key_.values[lower(name)];
    if (value.name.empty()) value.name = name;
    value.type = platform::RegSz;
    value.data = text + '\0';
    value.path = path;
    ++owner_.writes;
    owner_.changed(id_);
    return true;
  }

  FakeRegistry& owner_;
  FakeRegistry::Key& key_;
  std::string id_;
};

}  // namespace

std::string FakeRegistry::id(platform::Hive hive, const std::string& path) {
  std::string p = lower(path);
  while (!p.empty() && p.front() == '\\') p.erase(p.begin());
  while (!p.empty() && p.back() == '\\') p.pop_back();
  return std::to_string(static_cast<int>(hive)) + ":" + p;
}

FakeRegistry::Key& FakeRegistry::obtain(const std::string& keyId) {
  std::lock_guard lock(mutex_);
  auto [it, made] = keys_.try_emplace(keyId);
  if (made) {
    it->second.generation = ++generations_;
    // A new key is a new sub-key of the key above it.
    const auto cut = keyId.rfind('\\');
    changed(cut == std::string::npos ? keyId.substr(0, keyId.find(':') + 1) : keyId.substr(0, cut));
  }
  return it->second;
}

std::unique_ptr<platform::RegistryKey> FakeRegistry::open(platform::Hive hive, const std::string& path) {
  std::lock_guard lock(mutex_);
  if (readOnlyHives.count(hive)) return nullptr;
  const std::string k = id(hive, path);
  auto it = keys_.find(k);
  if (it == keys_.end() || it->second.locked) return nullptr;
  return std::make_unique<FakeKey>(*this, it->second, k);
}

std::unique_ptr<platform::RegistryKey> FakeRegistry::create(platform::Hive hive, const std::string& path) {
  std::lock_guard lock(mutex_);
  const std::string k = id(hive, path);
  if (forbidden_.count(k) || readOnlyHives.count(hive)) return nullptr;
  Key& created = obtain(k);
  if (created.locked) return nullptr;
  return std::make_unique<FakeKey>(*this, created, k);
}

struct FakeRegistry::Watched {
  std::string keyId;
  unsigned generation;
  std::mutex m;
  std::condition_variable cv;
  bool armed = false, signalled = false, cancelled = false;
};

class FakeRegistry::Watch : public platform::KeyWatch {
 public:
  Watch(FakeRegistry& owner, std::shared_ptr<Watched> state) : owner_(owner), state_(std::move(state)) {}
  bool arm() override {
    std::lock_guard registry(owner_.mutex());
    auto it = owner_.keys_.find(state_->keyId);
    if (it == owner_.keys_.end() || it->second.generation != state_->generation) return false;
    std::lock_guard lock(state_->m);
    state_->armed = true;
    state_->signalled = false;
    return true;
  }
  bool wait() override {
    std::unique_lock lock(state_->m);
    state_->cv.wait(lock, [&] { return state_->signalled || state_->cancelled; });
    return !state_->cancelled;
  }
  // A key deleted since the watch began counts as changed.
  bool changed() override {
    std::lock_guard registry(owner_.mutex());
    auto it = owner_.keys_.find(state_->keyId);
    if (it == owner_.keys_.end() || it->second.generation != state_->generation) return true;
    std::lock_guard lock(state_->m);
    return state_->signalled;
  }
  void cancel() override {
    std::lock_guard lock(state_->m);
    state_->cancelled = true;
    state_->cv.notify_all();
  }

 private:
  FakeRegistry& owner_;
  std::shared_ptr<Watched> state_;
};

std::unique_ptr<platform::KeyWatch> FakeRegistry::watch(platform::Hive hive, const std::string& path) {
  std::lock_guard lock(mutex_);
  const std::string k = id(hive, path);
  auto it = keys_.find(k);
  if (it == keys_.end() || it->second.locked) return nullptr;
  auto state = std::make_shared<Watched>();
  state->keyId = k;
  state->generation = it->second.generation;
  watches_.push_back(state);
  return std::make_unique<Watch>(*this, std::move(state));
}

void FakeRegistry::changed(const std::string& keyId) {
  std::lock_guard lock(mutex_);
  std::erase_if(watches_, [](const std::weak_ptr<Watched>& w) { return w.expired(); });
  for (auto& weak : watches_) {
    auto w = weak.lock();
    const bool within = keyId == w->keyId || keyId.rfind(w->keyId + "\\", 0) == 0;
    auto it = keys_.find(w->keyId);
    if (!within || it == keys_.end() || it->second.generation != w->generation) continue;
    std::lock_guard state(w->m);
    if (!w->armed) continue;
    w->armed = false;
    w->signalled = true;
    w->cv.notify_all();
  }
}

bool FakeRegistry::hasSubKeys(const std::string& keyId) {
  std::lock_guard lock(mutex_);
  auto it = keys_.upper_bound(keyId + "\\");
  return it != keys_.end() && it->first.rfind(keyId + "\\", 0) == 0;
}

std::size_t FakeRegistry::armedWatches() {
  std::lock_guard lock(mutex_);
  std::size_t armed = 0;
  for (auto& weak : watches_)
    if (auto w = weak.lock()) {
      std::lock_guard state(w->m);
      armed += w->armed;
    }
  return armed;
}

std::size_t FakeRegistry::liveWatches() {
  std::lock_guard lock(mutex_);
  std::erase_if(watches_, [](const std::weak_ptr<Watched>& w) { return w.expired(); });
  return watches_.size();
}

void FakeRegistry::setString(platform::Hive hive, const std::string& path, const std::string& name,
                             const std::string& text) {
  setRaw(hive, path, name, platform::RegSz, text + '\0');
}

void FakeRegistry::setRaw(platform::Hive hive, const std::string& path, const std::string& name,
                          std::uint32_t type, const std::string& data) {
  std::lock_guard lock(mutex_);
  auto& value = key(hive, path).values[lower(name)];
  value.name = name;
  value.type = type;
  value.data = data;
  value.path = false;
  changed(id(hive, path));
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

FakeRegistry::Key& FakeRegistry::key(platform::Hive hive, const std::string& path) { return obtain(id(hive, path)); }

void FakeRegistry::forbidCreate(platform::Hive hive, const std::string& path) { forbidden_.insert(id(hive, path)); }

bool FakeRegistry::deleteTree(platform::Hive hive, const std::string& path) {
  std::lock_guard lock(mutex_);
  if (readOnlyHives.count(hive)) return false;
  const std::string root = id(hive, path);
  auto it = keys_.find(root);
  if (it == keys_.end() || it->second.locked) return false;
  changed(root);
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

#include "platform/win32/RegistryWin32.h"

namespace platform::win32 {

HKEY hiveHandle(Hive hive) {
  switch (hive) {
    case Hive::ClassesRoot: return HKEY_CLASSES_ROOT;
    case Hive::CurrentUser: return HKEY_CURRENT_USER;
    case Hive::LocalMachine: return HKEY_LOCAL_MACHINE;
    case Hive::Users: return HKEY_USERS;
    case Hive::CurrentConfig: return HKEY_CURRENT_CONFIG;
  }
  return HKEY_LOCAL_MACHINE;
}

RegistryKey::~RegistryKey() { RegCloseKey(key_); }

RegValue RegistryKey::query(const std::string& name) {
  RegValue v;
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size);
  if (rc == ERROR_FILE_NOT_FOUND) return v;  // Missing
  if (rc != ERROR_SUCCESS) {
    v.status = RegValue::Status::Failed;
    return v;
  }
  v.status = RegValue::Status::Found;
  v.type = type;
  // The value may grow between the two calls (another process writing it);
  // ask again for the size a few times before calling it a failure.
  for (int attempt = 0; attempt < 4 && size > 0; ++attempt) {
    v.data.assign(size, '\0');
    DWORD got = size;
    rc = RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(v.data.data()), &got);
    if (rc == ERROR_SUCCESS) {
      v.type = type;
      v.data.resize(got);  // ANSI sizes from the first call may be an over-estimate
      return v;
    }
    if (rc != ERROR_MORE_DATA) break;
    size = got;
  }
  if (size == 0) {
    v.data.clear();
    return v;
  }
  v.status = RegValue::Status::Failed;
  v.data.clear();
  return v;
}

bool RegistryKey::setString(const std::string& name, const std::string& text) {
  return RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool RegistryKey::deleteValue(const std::string& name) {
  const LONG rc = RegDeleteValueA(key_, name.c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

std::vector<std::string> RegistryKey::valueNames() {
  std::vector<std::string> names;
  DWORD longest = 0;
  if (RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS)
    return names;
  std::string name(longest + 1, '\0');
  for (DWORD i = 0;; ++i) {
    DWORD length = static_cast<DWORD>(name.size());
    const LONG rc = RegEnumValueA(key_, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) {  // a longer name written meanwhile
      name.assign(name.size() * 2, '\0');
      --i;
      continue;
    }
    if (rc != ERROR_SUCCESS) break;
    names.emplace_back(name.data(), length);
  }
  return names;
}

bool RegistryKey::empty() {
  DWORD subKeys = 0, values = 0;
  if (RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  return subKeys == 0 && values == 0;
}

namespace {

class KeyWatch : public platform::KeyWatch {
 public:
  explicit KeyWatch(HKEY key)
      : key_(key), changed_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), cancelled_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~KeyWatch() override {
    RegCloseKey(key_);
    if (changed_) CloseHandle(changed_);
    if (cancelled_) CloseHandle(cancelled_);
  }
  KeyWatch(const KeyWatch&) = delete;
  KeyWatch& operator=(const KeyWatch&) = delete;

  bool arm() override {
    if (!changed_) return false;
    ResetEvent(changed_);
    constexpr DWORD Filter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_ATTRIBUTES | REG_NOTIFY_CHANGE_LAST_SET |
                             REG_NOTIFY_CHANGE_SECURITY;
    return RegNotifyChangeKeyValue(key_, TRUE, Filter, changed_, TRUE) == ERROR_SUCCESS;
  }
  bool wait() override {
    if (!changed_ || !cancelled_) return false;
    const HANDLE both[] = {cancelled_, changed_};
    return WaitForMultipleObjects(2, both, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
  }
  void cancel() override {
    if (cancelled_) SetEvent(cancelled_);
  }

 private:
  HKEY key_;
  HANDLE changed_;
  HANDLE cancelled_;
};

}  // namespace

std::unique_ptr<platform::KeyWatch> Registry::watch(Hive hive, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(hiveHandle(hive), path.c_str(), 0, KEY_READ | KEY_NOTIFY, &key) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<KeyWatch>(key);
}

std::unique_ptr<platform::RegistryKey> Registry::open(Hive hive, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(hiveHandle(hive), path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return nullptr;
  return std::make_unique<RegistryKey>(key);
}

std::unique_ptr<platform::RegistryKey> Registry::create(Hive hive, const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(hiveHandle(hive), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<RegistryKey>(key);
}

namespace {

// Deletes every sub-key of `parent\name`, from the last index to the first,
// then the key itself.
bool deleteKeyTree(HKEY parent, const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return false;
  bool ok = true;
  DWORD count = 0, longest = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) == ERROR_SUCCESS) {
    std::string sub(longest + 1, '\0');
    for (DWORD i = count; i-- > 0;) {
      DWORD len = static_cast<DWORD>(sub.size());
      if (RegEnumKeyExA(key, i, sub.data(), &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        ok = false;
        continue;
      }
      ok = deleteKeyTree(key, std::string(sub.data(), len)) && ok;
    }
  }
  RegCloseKey(key);
  return RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS && ok;
}

}  // namespace

bool Registry::deleteTree(Hive hive, const std::string& path) { return deleteKeyTree(hiveHandle(hive), path); }

}  // namespace platform::win32

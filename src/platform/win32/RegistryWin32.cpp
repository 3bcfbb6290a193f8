#include "platform/win32/RegistryWin32.h"
#include "platform/win32/WideText.h"

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

namespace {

bool isText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// The value as the wide call gives it: a string's UTF-16 taken into the
// code page, as the "A" call would, or into UTF-8 for a path; every other
// type's bytes as they are.
RegValue queryValue(HKEY key, const std::string& name, bool asPath) {
  RegValue v;
  const std::wstring wideName = wideFromAnsi(name);
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size);
  if (rc == ERROR_FILE_NOT_FOUND) return v;  // Missing
  if (rc != ERROR_SUCCESS) {
    v.status = RegValue::Status::Failed;
    return v;
  }
  v.status = RegValue::Status::Found;
  v.type = type;
  std::string bytes;
  // The value may grow between the two calls (another process writing it);
  // ask again for the size a few times before calling it a failure.
  for (int attempt = 0; attempt < 4 && size > 0; ++attempt) {
    bytes.assign(size, '\0');
    DWORD got = size;
    rc = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &got);
    if (rc == ERROR_SUCCESS) {
      bytes.resize(got);
      break;
    }
    if (rc != ERROR_MORE_DATA) break;
    size = got;
  }
  if (size > 0 && rc != ERROR_SUCCESS) {
    v.status = RegValue::Status::Failed;
    return v;
  }
  v.type = type;
  if (!isText(type)) {
    v.data = std::move(bytes);
    return v;
  }
  std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
  bytes.copy(reinterpret_cast<char*>(text.data()), text.size() * sizeof(wchar_t));
  if (!asPath) {
    v.data = ansiFromWide(text.data(), text.size(), &v.approximated);
  } else if (auto path = pathFromWide(text.data(), text.size())) {
    v.data = std::move(*path);
  } else {
    v.status = RegValue::Status::Failed;
  }
  return v;
}

bool setText(HKEY key, const std::string& name, std::wstring text) {
  text.push_back(L'\0');
  return RegSetValueExW(key, wideFromAnsi(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

RegValue RegistryKey::query(const std::string& name) { return queryValue(key_, name, false); }

RegValue RegistryKey::queryPath(const std::string& name) { return queryValue(key_, name, true); }

bool RegistryKey::setString(const std::string& name, const std::string& text) {
  return setText(key_, name, wideFromAnsi(text));
}

bool RegistryKey::setPath(const std::string& name, const std::string& path) {
  auto text = widePath(path);
  return text && setText(key_, name, std::move(*text));
}

bool RegistryKey::deleteValue(const std::string& name) {
  const LONG rc = RegDeleteValueW(key_, wideFromAnsi(name).c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

std::vector<std::string> RegistryKey::valueNames() {
  std::vector<std::string> names;
  DWORD longest = 0;
  if (RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS)
    return names;
  std::wstring name(longest + 1, L'\0');
  for (DWORD i = 0;; ++i) {
    DWORD length = static_cast<DWORD>(name.size());
    const LONG rc = RegEnumValueW(key_, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) {  // a longer name written meanwhile
      name.assign(name.size() * 2, L'\0');
      --i;
      continue;
    }
    if (rc != ERROR_SUCCESS) break;
    // A name outside the code page could not be asked for again: left out.
    bool approximated = false;
    std::string ansi = ansiFromWide(name.data(), length, &approximated);
    if (!approximated) names.push_back(std::move(ansi));
  }
  return names;
}

bool RegistryKey::empty() {
  DWORD subKeys = 0, values = 0;
  if (RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
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
  // The system does not signal the deletion of the watched key itself: a
  // key that can no longer be asked about is taken as changed.
  bool changed() override {
    if (!changed_ || WaitForSingleObject(changed_, 0) == WAIT_OBJECT_0) return true;
    DWORD values = 0;
    return RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                            nullptr, nullptr) != ERROR_SUCCESS;
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
  if (RegOpenKeyExW(hiveHandle(hive), wideFromAnsi(path).c_str(), 0, KEY_READ | KEY_NOTIFY, &key) != ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<KeyWatch>(key);
}

std::unique_ptr<platform::RegistryKey> Registry::open(Hive hive, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(hiveHandle(hive), wideFromAnsi(path).c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<RegistryKey>(key);
}

std::unique_ptr<platform::RegistryKey> Registry::create(Hive hive, const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(hiveHandle(hive), wideFromAnsi(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<RegistryKey>(key);
}

namespace {

// Deletes every sub-key of `parent\name`, from the last index to the first,
// then the key itself; sub-keys by their wide names, whatever their letters.
bool deleteKeyTree(HKEY parent, const std::wstring& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return false;
  bool ok = true;
  DWORD count = 0, longest = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) == ERROR_SUCCESS) {
    std::wstring sub(longest + 1, L'\0');
    for (DWORD i = count; i-- > 0;) {
      DWORD len = static_cast<DWORD>(sub.size());
      if (RegEnumKeyExW(key, i, sub.data(), &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        ok = false;
        continue;
      }
      ok = deleteKeyTree(key, std::wstring(sub.data(), len)) && ok;
    }
  }
  RegCloseKey(key);
  return RegDeleteKeyW(parent, name.c_str()) == ERROR_SUCCESS && ok;
}

}  // namespace

bool Registry::deleteTree(Hive hive, const std::string& path) {
  return deleteKeyTree(hiveHandle(hive), wideFromAnsi(path));
}

}  // namespace platform::win32

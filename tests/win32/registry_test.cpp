// TmRegistry over the real registry: types, letter case, missing keys, the
// pending list. Each test works in a key of its own under
// HKCU\Software\TarnwickTest and deletes it at the end.
#include <gtest/gtest.h>
#include <windows.h>
#include <cctype>
#include <cstdio>
#include <map>
#include <string>
#include "platform/win32/RegistryWin32.h"
#include "settings/mRegistry.h"

using settings::RegistryError;
using settings::TmRegistry;
using settings::TmRootKey;

namespace {

const char kParent[] = "Software\\TarnwickTest";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::string(kParent) + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kParent);  // only once it is empty
  }

  TmRegistry reg(const std::string& key, bool canCreate = true) {
    return TmRegistry(registry_, TmRootKey::rkHKEY_CURRENT_USER, key, canCreate);
  }
  bool keyExists(const std::string& path) {
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
  }
  // Writes a value behind the component's back.
  void setRaw(const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(h, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(h);
  }
  void setRawString(const std::string& name, const std::string& text, DWORD type = REG_SZ) {
    setRaw(name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }
  // The value as stored: type and bytes.
  bool getRaw(const std::string& name, DWORD& type, std::string& data) {
    char buf[512];
    DWORD size = sizeof buf;
    if (RegGetValueA(HKEY_CURRENT_USER, path_.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, buf,
                     &size) != ERROR_SUCCESS)
      return false;
    data.assign(buf, size);
    return true;
  }

  platform::win32::Registry registry_;
  std::string path_;
};

TEST_F(RegistryTest, WritesStringsWithTheirNulAndReadsThemBack) {
  TmRegistry r = reg(path_);
  r.AddValue("Version", "3.4.1");
  r.AddValue("Empty", "");
  EXPECT_TRUE(r.WriteValues());
  EXPECT_EQ(r.pendingCount(), 0u);

  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(getRaw("Version", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(data, std::string("3.4.1\0", 6)) << "stored with its terminating NUL";
  ASSERT_TRUE(getRaw("Empty", type, data));
  EXPECT_EQ(data, std::string("\0", 1));

  EXPECT_EQ(r.ReadValue("Version"), "3.4.1");
  EXPECT_EQ(r.ReadValue("Empty"), "");
  EXPECT_EQ(r.ReadValue("Nothing here"), "");
}

TEST_F(RegistryTest, OnlyStringTypesAreAccepted) {
  DWORD number = 1;
  setRaw("Popup Blocker", REG_DWORD, &number, sizeof number);
  setRaw("Blob", REG_BINARY, "1", 1);
  setRawString("Expand", "%TEMP%\\x", REG_EXPAND_SZ);

  TmRegistry r = reg(path_);
  try {
    r.ReadValue("Popup Blocker");
    FAIL() << "a REG_DWORD must not read as text";
  } catch (const RegistryError& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'Popup Blocker'");
  }
  EXPECT_THROW(r.ReadValue("Blob"), RegistryError);
  EXPECT_EQ(r.ReadValue("Expand"), "%TEMP%\\x") << "REG_EXPAND_SZ comes back unexpanded";
}

TEST_F(RegistryTest, TextEndsAtItsFirstNul) {
  setRaw("Raw", REG_SZ, "abc\0def\0", 8);
  setRaw("Unterminated", REG_SZ, "xyz", 3);
  TmRegistry r = reg(path_);
  EXPECT_EQ(r.ReadValue("Raw"), "abc");
  EXPECT_EQ(r.ReadValue("Unterminated"), "xyz");

  r.AddValue("Written", std::string("left\0right", 10));
  ASSERT_TRUE(r.WriteValues());
  EXPECT_EQ(r.ReadValue("Written"), "left");
}

TEST_F(RegistryTest, NamesAndPathsIgnoreLetterCaseAndBackslashes) {
  TmRegistry writer = reg("\\" + path_ + "\\");
  writer.AddValue("Start page", "1");
  ASSERT_TRUE(writer.WriteValues());

  std::string otherCase = path_;
  for (char& c : otherCase) {
    const unsigned char u = static_cast<unsigned char>(c);
    c = static_cast<char>(std::islower(u) ? std::toupper(u) : std::tolower(u));
  }
  TmRegistry reader = reg(otherCase);
  EXPECT_EQ(reader.ReadValue("Start Page"), "1");
  EXPECT_EQ(reader.ReadValue("START PAGE"), "1");

  reader.AddValue("START PAGE", "0");
  ASSERT_TRUE(reader.WriteValues());
  EXPECT_EQ(writer.ReadValue("Start page"), "0") << "one value, whatever the case of its name";
}

TEST_F(RegistryTest, MissingKeysReadEmptyAndAreCreatedOnlyWhenAllowed) {
  const std::string missing = path_ + "\\deeper\\still";
  TmRegistry noCreate = reg(missing, false);
  EXPECT_EQ(noCreate.ReadValue("Password"), "");
  EXPECT_FALSE(keyExists(missing)) << "reading does not create the key";

  noCreate.AddValue("Start Page", "http://a.example/");
  EXPECT_FALSE(noCreate.WriteValues());
  EXPECT_EQ(noCreate.pendingCount(), 0u) << "the pending list is emptied even when nothing was written";
  EXPECT_FALSE(keyExists(missing));

  TmRegistry create = reg(missing, true);
  create.AddValue("Start Page", "http://a.example/");
  EXPECT_TRUE(create.WriteValues()) << "the key and its parents are created";
  EXPECT_EQ(noCreate.ReadValue("Start Page"), "http://a.example/");

  // A key name longer than the registry allows can be neither opened nor created.
  TmRegistry impossible = reg(path_ + "\\" + std::string(300, 'k'), true);
  impossible.AddValue("x", "y");
  EXPECT_FALSE(impossible.WriteValues());
  EXPECT_EQ(impossible.ReadValue("x"), "");
}

TEST_F(RegistryTest, PendingPairsAreWrittenInOrderAndOnlyOnce) {
  TmRegistry r = reg(path_);
  r.AddValue("Hot Key", "Shift+Ctrl+A");
  r.AddValue("hot key", "Shift+Ctrl+B");
  ASSERT_TRUE(r.WriteValues());
  EXPECT_EQ(r.ReadValue("Hot Key"), "Shift+Ctrl+B") << "the later text stays";

  setRawString("Hot Key", "changed elsewhere");
  EXPECT_TRUE(r.WriteValues());
  EXPECT_EQ(r.ReadValue("Hot Key"), "changed elsewhere") << "a second WriteValues has nothing to write";
}

TEST_F(RegistryTest, KeysOfTheServiceOpenOnlyExistingKeys) {
  EXPECT_EQ(registry_.open(platform::Hive::CurrentUser, path_), nullptr);
  auto created = registry_.create(platform::Hive::CurrentUser, path_);
  ASSERT_NE(created, nullptr);
  EXPECT_TRUE(created->setString("a", "b"));
  auto opened = registry_.open(platform::Hive::CurrentUser, path_);
  ASSERT_NE(opened, nullptr);
  platform::RegValue v = opened->query("a");
  EXPECT_EQ(v.status, platform::RegValue::Status::Found);
  EXPECT_EQ(v.type, platform::RegSz);
  EXPECT_EQ(v.data, std::string("b\0", 2));
  EXPECT_EQ(opened->query("nope").status, platform::RegValue::Status::Missing);

  // A long value needs the two-step query to return all of it.
  const std::string big(5000, 'z');
  EXPECT_TRUE(created->setString("big", big));
  EXPECT_EQ(opened->query("big").data, big + '\0');
}

// A watch tells of a change without waiting: nothing before a write, a
// change after one, and a change when the key it watches is deleted.
TEST_F(RegistryTest, AWatchSaysWhetherTheKeyChangedWithoutWaiting) {
  auto key = registry_.create(platform::Hive::CurrentUser, path_);
  ASSERT_NE(key, nullptr);
  for (const bool deleteIt : {false, true}) {
    auto watch = registry_.watch(platform::Hive::CurrentUser, path_);
    ASSERT_NE(watch, nullptr);
    ASSERT_TRUE(watch->arm());
    EXPECT_FALSE(watch->changed());
    if (deleteIt)
      EXPECT_TRUE(registry_.deleteTree(platform::Hive::CurrentUser, path_));
    else
      EXPECT_TRUE(key->setString("flag", "1"));
    EXPECT_TRUE(watch->changed()) << (deleteIt ? "deleted" : "written");
  }
}

}  // namespace

namespace {

// The value's bytes as the system holds them (UTF-16 for a string).
std::string storedBytes(const std::string& key, const std::string& name) {
  wchar_t buf[512];
  DWORD size = sizeof buf, type = 0;
  const std::wstring wideName(name.begin(), name.end());  // ASCII names
  if (RegGetValueW(HKEY_CURRENT_USER, std::wstring(key.begin(), key.end()).c_str(), wideName.c_str(),
                   RRF_RT_ANY | RRF_NOEXPAND, &type, buf, &size) != ERROR_SUCCESS)
    return "missing";
  return std::to_string(type) + ":" + std::string(reinterpret_cast<const char*>(buf), size);
}

// What `reg query` prints for each value of the key: name -> the rest of its line.
std::map<std::string, std::string> regQuery(const std::string& key) {
  std::map<std::string, std::string> lines;
  FILE* out = _popen(("reg query \"HKCU\\" + key + "\"").c_str(), "r");
  if (!out) return lines;
  char line[1024];
  while (fgets(line, sizeof line, out)) {
    std::string text = line;
    const std::size_t type = text.find("    REG_");
    if (type == std::string::npos) continue;
    const std::size_t name = text.find_first_not_of(' ');
    lines[text.substr(name, type - name)] = text.substr(type);
  }
  _pclose(out);
  return lines;
}

}  // namespace

// The settings go through the wide calls, converted by the code page: every
// ANSI text is stored as the "A" calls stored it, byte for byte, and reads
// back the same. A path (the sound file) is kept whole, letters outside the
// code page included, where the "A" call gives "?" in their place.
TEST_F(RegistryTest, WideCallsStoreWhatTheAnsiCallsStoredAndPathsWhole) {
  const std::string texts[] = {"3.4.1", "Shift+Ctrl+A", "caf\xE9 \x80\xA9\xFF", "C:\\Sounds\\chime.wav",
                               "\x81\x8D\x8F\x90\x9D", ""};
  TmRegistry r = reg(path_);
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    setRawString("A" + std::to_string(i), texts[i]);
    r.AddValue("W" + std::to_string(i), texts[i]);
  }
  r.AddPath("Path", "C:\\Sounds\\chime.wav");
  const std::string cyrillic = "C:\\\xD0\x97\xD0\xB2\xD1\x83\xD0\xBA\xD0\xB8\\\xD0\xB7\xD0\xB2\xD0\xBE\xD0\xBD.wav";
  r.AddPath("Sound Path", cyrillic);  // C:\Звуки\звон.wav
  ASSERT_TRUE(r.WriteValues());

  const auto shown = regQuery(path_);
  ASSERT_FALSE(shown.empty()) << "reg query printed nothing";
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    SCOPED_TRACE(i);
    const std::string a = "A" + std::to_string(i), w = "W" + std::to_string(i);
    EXPECT_EQ(storedBytes(path_, w), storedBytes(path_, a));
    ASSERT_TRUE(shown.count(a) && shown.count(w));
    EXPECT_EQ(shown.at(w), shown.at(a)) << "as reg query shows them";
    EXPECT_EQ(r.ReadValue(w), texts[i]);
  }
  EXPECT_EQ(storedBytes(path_, "Path"), storedBytes(path_, "A3")) << "an ANSI path is stored as an ANSI text";
  EXPECT_EQ(shown.at("Path"), shown.at("A3"));

  EXPECT_EQ(r.ReadPath("Sound Path"), cyrillic);
  const std::wstring wide = L"C:\\\u0417\u0432\u0443\u043A\u0438\\\u0437\u0432\u043E\u043D.wav";
  EXPECT_EQ(storedBytes(path_, "Sound Path"),
            "1:" + std::string(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + 1) * sizeof(wchar_t)));
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(getRaw("Sound Path", type, data));
  EXPECT_EQ(data, std::string("C:\\?????\\????.wav\0", 18)) << "what the \"A\" call makes of it";
}

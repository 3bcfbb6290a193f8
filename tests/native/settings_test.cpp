#include <gtest/gtest.h>
#include "platform/fake/FakeRegistry.h"
#include "settings/Readers.h"
#include "settings/Schema.h"
#include "settings/mRegistry.h"

using platform::Hive;
using settings::TmRegistry;
using settings::TmRootKey;

namespace {

constexpr const char* MainPath = "software\\Tarnwick";

struct Store : ::testing::Test {
  fake::FakeRegistry reg;
  TmRegistry main{reg, TmRootKey::rkHKEY_CURRENT_USER, settings::keys::Main, true};
  TmRegistry counter{reg, TmRootKey::rkHKEY_CURRENT_USER, settings::keys::Counter, true};
};

std::string errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const settings::RegistryError& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST_F(Store, AbsentMainKeyReadsAsMissingEverywhere) {
  using namespace settings::values;
  for (const char* flag : {Erase, PopupBlocker, PopupCounter, ClosedPopups, LeftMouse, PopupSound, LastTyped, settings::values::Run,
                           StartPage, AutoWeb, AutoForms})
    EXPECT_FALSE(settings::ReadFlag(main, flag)) << flag;
  EXPECT_EQ(main.ReadValue(Password), "");
  EXPECT_EQ(main.ReadValue(HotKey), "");
  EXPECT_EQ(main.ReadValue(PanicHotKey), "");
  EXPECT_EQ(settings::ReadCounter(counter, settings::counters::Counter), 0);
  EXPECT_EQ(settings::PopupLimitOf(main.ReadValue(PopupLimit)), settings::PopupLimitChoice::Neither);
  EXPECT_EQ(settings::LimitEditOf(main.ReadValue(LimitEdit)), 5);
  EXPECT_FALSE(reg.exists(Hive::CurrentUser, MainPath)) << "reading must never create the key";
}

TEST_F(Store, OnlyExactlyOneIsOn) {
  for (const char* text : {"yes", " 1", "1 ", "0", "", "11", "01", "true"}) {
    reg.setString(Hive::CurrentUser, MainPath, "Erase", text);
    EXPECT_FALSE(settings::ReadFlag(main, "Erase")) << '"' << text << '"';
  }
  reg.setString(Hive::CurrentUser, MainPath, "Erase", "1");
  EXPECT_TRUE(settings::ReadFlag(main, "Erase"));
}

TEST_F(Store, NamesAndPathsIgnoreCaseAndSlashes) {
  TmRegistry writer(reg, TmRootKey::rkHKEY_CURRENT_USER, "\\SOFTWARE\\tarnwick\\", true);
  writer.AddValue("Start Page", "1");
  EXPECT_TRUE(writer.WriteValues());
  EXPECT_EQ(main.ReadValue("Start page"), "1");
  EXPECT_EQ(main.ReadValue("START PAGE"), "1");
}

TEST_F(Store, LimitEditAndPopupLimit) {
  const std::pair<const char*, int> cases[] = {{"99", 15}, {"x", 5}, {"", 5}, {"-3", 0}, {"7", 7}, {"15", 15}, {"0", 0}};
  for (auto [text, expected] : cases) EXPECT_EQ(settings::LimitEditOf(text), expected) << text;
  EXPECT_EQ(settings::PopupLimitOf("0"), settings::PopupLimitChoice::Manual);
  EXPECT_EQ(settings::PopupLimitOf("1"), settings::PopupLimitChoice::Maximum);
  for (const char* text : {"2", "", " 0", "01"})
    EXPECT_EQ(settings::PopupLimitOf(text), settings::PopupLimitChoice::Neither) << text;
}

TEST_F(Store, PendingWritesInOrderThenEmpty) {
  main.AddValue("Hot Key", "Shift+Ctrl+A");
  main.AddValue("Hot Key", "Shift+Ctrl+B");
  main.AddValue("Sound Path", "");
  EXPECT_TRUE(main.WriteValues());
  EXPECT_EQ(reg.text(Hive::CurrentUser, MainPath, "Hot Key"), "Shift+Ctrl+B");
  EXPECT_EQ(reg.text(Hive::CurrentUser, MainPath, "Sound Path"), "") << "an empty text is a value too";
  EXPECT_EQ(main.pendingCount(), 0u);

  // A second WriteValues writes nothing: a change made meanwhile survives.
  reg.setString(Hive::CurrentUser, MainPath, "Hot Key", "changed");
  const int writes = reg.writes;
  EXPECT_TRUE(main.WriteValues());
  EXPECT_EQ(reg.writes, writes);
  EXPECT_EQ(reg.text(Hive::CurrentUser, MainPath, "Hot Key"), "changed");
}

TEST_F(Store, KeysThatCannotBeOpenedOrCreated) {
  TmRegistry noCreate(reg, TmRootKey::rkHKEY_CURRENT_USER, settings::keys::IEMain, false);
  noCreate.AddValue("Start Page", "http://x/");
  EXPECT_FALSE(noCreate.WriteValues());
  EXPECT_FALSE(reg.exists(Hive::CurrentUser, settings::keys::IEMain));
  EXPECT_EQ(noCreate.pendingCount(), 0u) << "the pending list is emptied on failure too";

  // The machine's run key without administrator rights: neither opened nor created.
  reg.forbidCreate(Hive::LocalMachine, settings::keys::Run);
  TmRegistry runKey(reg, TmRootKey::rkHKEY_LOCAL_MACHINE, settings::keys::Run, true);
  runKey.AddValue("Tarnwick", "C:\\tarnwick.exe");
  EXPECT_FALSE(runKey.WriteValues());

  // A key the user may read but not change reads like a missing one.
  reg.setString(Hive::CurrentUser, MainPath, "Password", "secret");
  reg.key(Hive::CurrentUser, MainPath).locked = true;
  EXPECT_EQ(main.ReadValue("Password"), "");
}

TEST_F(Store, ReadErrorsAndTextEndingAtNul) {
  reg.setRaw(Hive::CurrentUser, MainPath, "Erase", platform::RegDword, std::string("\x01\0\0\0", 4));
  EXPECT_EQ(errorOf([&] { main.ReadValue("Erase"); }), "Invalid data type for 'Erase'");

  reg.setRaw(Hive::CurrentUser, MainPath, "Edit start", platform::RegExpandSz, std::string("%HOME%\\a\0b\0", 11));
  EXPECT_EQ(main.ReadValue("Edit start"), "%HOME%\\a") << "unexpanded, cut at the first NUL";

  reg.setRaw(Hive::CurrentUser, MainPath, "Empty", platform::RegSz, "");
  EXPECT_EQ(main.ReadValue("Empty"), "") << "a value without data";

  reg.key(Hive::CurrentUser, MainPath).failingReads.insert("password");
  reg.setString(Hive::CurrentUser, MainPath, "Password", "x");
  EXPECT_EQ(errorOf([&] { main.ReadValue("Password"); }), "Failed to get data for 'Password'");
}

// A timer reads its value every second: a wrong type is reported once, then
// reads as missing until the value changes (a new wrong value is reported
// again, a text value reads as text again).
TEST_F(Store, AWrongTypeIsReportedOnceUntilTheValueChanges) {
  const std::string one("\x01\0\0\0", 4), two("\x02\0\0\0", 4);
  const struct {
    std::uint32_t type;
    std::string data;
    const char* read;  // the text read, or "error"
  } steps[] = {
      {platform::RegDword, one, "error"}, {platform::RegDword, one, ""},   {platform::RegDword, one, ""},
      {platform::RegDword, two, "error"}, {platform::RegBinary, two, "error"}, {platform::RegBinary, two, ""},
      {platform::RegSz, std::string("1\0", 2), "1"}, {platform::RegDword, one, "error"},
  };
  int step = 0;
  for (const auto& st : steps) {
    SCOPED_TRACE(step++);
    reg.setRaw(Hive::CurrentUser, MainPath, "Erase", st.type, st.data);
    std::string got;
    const std::string error = errorOf([&] { got = main.ReadValue("Erase"); });
    EXPECT_EQ(error.empty() ? got : std::string("error"), st.read);
  }
}

TEST_F(Store, RefusedWriteStopsButKeepsEarlierWrites) {
  main.AddValue("Erase", "1");
  ASSERT_TRUE(main.WriteValues());
  reg.key(Hive::CurrentUser, MainPath).refuseWrites = true;
  main.AddValue("Run", "1");
  EXPECT_EQ(errorOf([&] { main.WriteValues(); }), "Failed to set data for 'Run'");
  EXPECT_EQ(main.pendingCount(), 0u);
  EXPECT_EQ(reg.text(Hive::CurrentUser, MainPath, "Erase"), "1");
}

TEST_F(Store, CountersRaiseIn64BitsAsDecimalText) {
  const char* path = "software\\Tarnwick\\counter";
  EXPECT_EQ(settings::RaiseCounter(counter, "Counter"), 1);
  EXPECT_EQ(reg.text(Hive::CurrentUser, path, "Counter"), "1");

  reg.setString(Hive::CurrentUser, path, "Counter", "2147483647");
  EXPECT_EQ(settings::RaiseCounter(counter, "Counter"), 2147483648LL);
  EXPECT_EQ(reg.text(Hive::CurrentUser, path, "Counter"), "2147483648");

  reg.setString(Hive::CurrentUser, path, "Counter Max", "abc");
  EXPECT_EQ(settings::RaiseCounter(counter, "Counter Max"), 1) << "unparsable counts as 0";
  reg.setString(Hive::CurrentUser, path, "Counter Max", "1,000");
  EXPECT_EQ(settings::ReadCounter(counter, "Counter Max"), 0);

  reg.setString(Hive::CurrentUser, path, "Counter Panic", "9223372036854775807");
  EXPECT_EQ(settings::RaiseCounter(counter, "Counter Panic"), 9223372036854775807LL) << "stops at the top";
  reg.setString(Hive::CurrentUser, path, "Counter Panic", "9223372036854775808");
  EXPECT_EQ(settings::ReadCounter(counter, "Counter Panic"), 0) << "too large to be a count";
}

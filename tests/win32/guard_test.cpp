// The typed-URL guard against the real registry: the watcher thread on
// RegNotifyChangeKeyValue (a value, a sub-key, the key deleted and made
// again), and the snapshot brought back by the system's registry editor.
#include <windows.h>
#include <gtest/gtest.h>
#include "Serve.h"
#include <string>
#include "guard/RegWatches.h"
#include "guard/TypedUrls.h"
#include "platform/win32/Win32Platform.h"
#include "settings/OwnFolder.h"
#include "settings/Schema.h"
#include "ui/win32/Win32Toolkit.h"

using platform::Hive;

namespace {

std::string testKey(const char* what) {
  return std::string("Software\\TarnwickTest\\") + what + std::to_string(GetCurrentProcessId());
}

}  // namespace

TEST(RegWatches, ReportsEveryChangeOfTheRealKeyAndFollowsItsReturn) {
  platform::win32::Win32Platform win32;
  platform::Platform& p = win32.platform();
  const std::string path = testKey("Watched");
  ASSERT_TRUE(p.registry.create(Hive::CurrentUser, path));
  int reports = 0;
  guard::TRegWatches watcher(p.registry, p.gui, Hive::CurrentUser, path, [&] { ++reports; });
  watcher.Start();
  serve([] { return false; }, 200);  // armed

  struct Step {
    const char* what;
    std::function<void()> change;
  };
  const Step steps[] = {
      {"a value set", [&] { p.registry.open(Hive::CurrentUser, path)->setString("url1", "http://a.test/"); }},
      {"a sub-key made", [&] { p.registry.create(Hive::CurrentUser, path + "\\sub"); }},
      {"the key deleted", [&] { p.registry.deleteTree(Hive::CurrentUser, path); }},
      {"the key made again", [&] { p.registry.create(Hive::CurrentUser, path); }},
      {"a value of the new key", [&] { p.registry.open(Hive::CurrentUser, path)->setString("url2", "x"); }},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    const int before = reports;
    step.change();
    EXPECT_TRUE(serve([&] { return reports > before; }));
    serve([] { return false; }, 200);  // the watcher settles on the key again
  }
  watcher.Terminate();
  EXPECT_FALSE(watcher.running());
  EXPECT_EQ(watcher.lastError(), "");
  p.registry.deleteTree(Hive::CurrentUser, "Software\\TarnwickTest");
}

// An address in the code page's letters comes back whole; one in Greek,
// which the ANSI file cannot hold, is left out rather than written with "?".
TEST(TypedUrlGuard, TheRegistryEditorBringsTheSnapshotBack) {
  platform::win32::Win32Platform win32;
  platform::Platform& p = win32.platform();
  settings::TmRegistry mainKey(p.registry, settings::TmRootKey::rkHKEY_CURRENT_USER, testKey("Main"), true);
  mainKey.AddValue(settings::values::LastTyped, "1");
  mainKey.WriteValues();
  p.registry.deleteTree(Hive::CurrentUser, settings::keys::TypedUrls);
  auto list = p.registry.create(Hive::CurrentUser, settings::keys::TypedUrls);
  ASSERT_TRUE(list);
  list->setString("url1", "C:\\temp\\a.htm");
  list->setString("url2", "http://x.test/?q=\"quoted\"");
  list->setString("url3", "http://caf\xE9.test/");
  const std::string greek = "http://\xCE\xB5\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1.test/";  // ελλάδα
  ASSERT_TRUE(list->setPath("url4", greek));
  ASSERT_EQ(list->queryPath("url4").data, greek + '\0') << "the Greek address is stored whole";
  ui::win32::Win32Toolkit toolkit(p.dialogs);
  settings::OwnFolder ownFolder(p.files, p.dialogs, toolkit);
  guard::TypedUrlGuard typed(p, mainKey, ownFolder, "Tarnwick");
  typed.TakeSnapshot();
  const auto snapshot = p.files.readFile(typed.snapshotPath());
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(*snapshot, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\software\\microsoft\\internet explorer\\typedURLs]\r\n"
                       "\"url1\"=\"C:\\\\temp\\\\a.htm\"\r\n\"url2\"=\"http://x.test/?q=\\\"quoted\\\"\"\r\n"
                       "\"url3\"=\"http://caf\xE9.test/\"\r\n");
  list->setString("url5", "http://typed.later.test/");
  list.reset();

  typed.Restore();
  settings::TmRegistry reader(p.registry, settings::TmRootKey::rkHKEY_CURRENT_USER, settings::keys::TypedUrls, false);
  EXPECT_EQ(reader.ReadValue("url5"), "") << "the list was deleted";
  const guard::Values want{
      {"url1", "C:\\temp\\a.htm"}, {"url2", "http://x.test/?q=\"quoted\""}, {"url3", "http://caf\xE9.test/"}};
  EXPECT_TRUE(serve([&] { return reader.ReadAllValues() == want; })) << "the list after the import";
  std::size_t leftOut = 9;
  reader.ReadAllValues(&leftOut);
  EXPECT_EQ(leftOut, 0u) << "the Greek address is gone, not back with \"?\"";
  DeleteFileA(typed.snapshotPath().c_str());
  p.registry.deleteTree(Hive::CurrentUser, settings::keys::TypedUrls);
  p.registry.create(Hive::CurrentUser, settings::keys::TypedUrls);
  p.registry.deleteTree(Hive::CurrentUser, "Software\\TarnwickTest");
}

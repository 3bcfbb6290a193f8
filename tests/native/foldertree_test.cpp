// File-tree deletion against the in-memory file system: what goes, what
// stays, links, and the order of the operations.
#include <gtest/gtest.h>
#include "eraser/FolderTree.h"
#include "platform/fake/FakeFiles.h"
#include <pthread.h>

using platform::AttrHidden;
using platform::AttrReadOnly;
using platform::AttrSystem;

namespace {

using Paths = std::vector<std::string>;

TEST(FolderTree, EmptiesATreeButKeepsWhatIsLockedHiddenOrSystem) {
  fake::FakeFiles fs;
  fs.addFile("C:\\Temp\\a.txt");
  fs.addFile("C:\\Temp\\ro.txt", "", AttrReadOnly);
  fs.addFile("C:\\Temp\\hid.txt", "", AttrHidden);
  fs.addFile("C:\\Temp\\sys.dat", "", AttrSystem | AttrReadOnly);
  fs.addFile("C:\\Temp\\held.tmp").locked = true;
  fs.addFile("C:\\Temp\\sub\\x.txt");
  fs.addFile("C:\\Temp\\sub\\deep\\y.txt", "", AttrHidden | AttrSystem);
  fs.addFolder("C:\\Temp\\sub\\deep\\empty");
  fs.addFolder("C:\\Temp\\marked", AttrReadOnly);  // the folder mark alone is cleared first
  fs.addFile("C:\\Temp\\marked\\z.txt", "", AttrReadOnly);
  fs.addFolder("C:\\Temp\\hiddenSub", AttrHidden);
  fs.addFile("C:\\Temp\\hiddenSub\\keep.txt");
  fs.addFolder("C:\\Temp\\systemSub", AttrSystem);
  fs.addFile("C:\\Temp\\systemSub\\keep.txt");
  fs.addFile("C:\\Temp\\busy\\gone.txt");
  fs.addFile("C:\\Temp\\busy\\held.dat").locked = true;

  eraser::DeleteFolderTree(fs, "C:\\Temp\\", "*.*", true);

  EXPECT_EQ(fs.below("C:\\Temp"),
            (Paths{"C:\\Temp\\busy", "C:\\Temp\\busy\\held.dat", "C:\\Temp\\held.tmp", "C:\\Temp\\hiddenSub",
                   "C:\\Temp\\hiddenSub\\keep.txt", "C:\\Temp\\systemSub", "C:\\Temp\\systemSub\\keep.txt"}));
  EXPECT_TRUE(fs.exists("C:\\Temp")) << "the given folder is never removed";
  for (const auto& entry : fs.log)
    EXPECT_TRUE(entry.find("hiddenSub") == std::string::npos && entry.find("systemSub") == std::string::npos)
        << "a hidden or system folder is neither entered nor changed: " << entry;

  // Once emptied, the given folder still stays.
  fs.node("C:\\Temp\\held.tmp")->locked = false;
  fs.node("C:\\Temp\\busy\\held.dat")->locked = false;
  fs.node("C:\\Temp\\hiddenSub")->attributes &= ~AttrHidden;
  fs.node("C:\\Temp\\systemSub")->attributes &= ~AttrSystem;
  eraser::DeleteFolderTree(fs, "C:\\Temp\\", "*.*", true);
  EXPECT_EQ(fs.below("C:\\Temp"), Paths{});
  EXPECT_TRUE(fs.exists("C:\\Temp"));
}

TEST(FolderTree, TheMaskAppliesInEveryFolderAndSubFoldersOnlyWhenAsked) {
  fake::FakeFiles fs;
  fs.addFile("C:\\Cache\\a.txt");
  fs.addFile("C:\\Cache\\b.TXT", "", AttrHidden);
  fs.addFile("C:\\Cache\\c.log");
  fs.addFile("C:\\Cache\\sub\\d.txt");
  fs.addFile("C:\\Cache\\sub\\e.log");
  fs.addFolder("C:\\Cache\\x.txt");  // a folder matching the mask is no file

  eraser::DeleteFolderTree(fs, "C:\\Cache\\", "*.txt", false);
  EXPECT_EQ(fs.below("C:\\Cache"), (Paths{"C:\\Cache\\c.log", "C:\\Cache\\sub", "C:\\Cache\\sub\\d.txt",
                                          "C:\\Cache\\sub\\e.log", "C:\\Cache\\x.txt"}));

  eraser::DeleteFolderTree(fs, "C:\\Cache\\", "*.txt", true);
  EXPECT_EQ(fs.below("C:\\Cache"), (Paths{"C:\\Cache\\c.log", "C:\\Cache\\sub", "C:\\Cache\\sub\\e.log"}))
      << "an emptied folder goes even when its name matches; one still holding a file stays";

  eraser::DeleteFolderTree(fs, "", "*.*", true);
  EXPECT_TRUE(fs.exists("C:\\Cache\\c.log"));
}

TEST(FolderTree, ALinkIsNeitherEnteredNorChanged) {
  fake::FakeFiles fs;
  fs.addFile("C:\\Users\\user\\Documents\\thesis.doc");
  fs.addFile("C:\\Users\\user\\Documents\\old\\draft.doc");
  fs.addFolder("C:\\Users\\user\\Empty");
  fs.addFile("C:\\Temp\\a.tmp");
  fs.addLink("C:\\Temp\\docs", "C:\\Users\\user\\Documents");
  fs.addFile("C:\\Temp\\sub\\b.tmp");
  fs.addLink("C:\\Temp\\sub\\again", "C:\\Users\\user\\Documents\\old");
  fs.addLink("C:\\Temp\\toEmpty", "C:\\Users\\user\\Empty");
  // A link to a file whose deletion fails: its marks may be the target's.
  fs.addFile("C:\\Temp\\fileLink", "", platform::AttrReparsePoint | AttrReadOnly);

  eraser::DeleteFolderTree(fs, "C:\\Temp\\", "*.*", true);

  EXPECT_EQ(fs.below("C:\\Users\\user"),
            (Paths{"C:\\Users\\user\\Documents", "C:\\Users\\user\\Documents\\old",
                   "C:\\Users\\user\\Documents\\old\\draft.doc", "C:\\Users\\user\\Documents\\thesis.doc",
                   "C:\\Users\\user\\Empty"}));
  EXPECT_EQ(fs.below("C:\\Temp"), (Paths{"C:\\Temp\\docs", "C:\\Temp\\fileLink", "C:\\Temp\\sub",
                                         "C:\\Temp\\sub\\again", "C:\\Temp\\toEmpty"}));
  for (const auto& entry : fs.log)
    EXPECT_TRUE(entry.find("docs") == std::string::npos && entry.find("again") == std::string::npos &&
                entry.find("toEmpty") == std::string::npos && entry.find("fileLink") == std::string::npos)
        << "a link is not touched: " << entry;
}

TEST(FolderTree, WalksDepthFirstWithASecondAttemptForReadOnlyFiles) {
  fake::FakeFiles fs;
  fs.addFile("C:\\R\\b.txt", "", AttrReadOnly);
  fs.addFile("C:\\R\\a\\1.txt");
  fs.addFile("C:\\R\\a\\b\\2.txt");
  fs.addFile("C:\\R\\c\\3.txt");
  fs.addFile("C:\\R\\d.dat").locked = true;

  eraser::DeleteFolderTree(fs, "C:\\R\\", "*.*", true);

  EXPECT_EQ(fs.log, (Paths{
                        "attributes:C:\\R\\b.txt:0", "delete:C:\\R\\b.txt",
                        "attributes:C:\\R\\d.dat:0",  // still held: stays
                        "attributes:C:\\R\\a:16", "delete:C:\\R\\a\\1.txt", "attributes:C:\\R\\a\\b:16",
                        "delete:C:\\R\\a\\b\\2.txt", "rmdir:C:\\R\\a\\b", "rmdir:C:\\R\\a",
                        "attributes:C:\\R\\c:16", "delete:C:\\R\\c\\3.txt", "rmdir:C:\\R\\c",
                        "attributes:C:\\R\\d.dat:16",  // a file left over is treated like a folder
                    }));
  EXPECT_EQ(fs.below("C:\\R"), Paths{"C:\\R\\d.dat"});
}

}  // namespace

namespace {

// Names in Cyrillic, Greek, Chinese and an emoji go as plain names do; the
// one-letter wildcard takes a whole letter, not a byte of it.
TEST(FolderTree, NamesInAnyScriptAreEmptiedLikePlainOnes) {
  fake::FakeFiles fs;
  const std::string temp = "C:\\Temp\\";
  const std::string cyrillic = "\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0";       // Папка
  const std::string greek = "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1";  // Ελλάδα
  const std::string chinese = "\xE7\xBC\x93\xE5\xAD\x98";                         // 缓存
  const std::string emoji = "\xF0\x9F\x98\x80";
  for (const std::string& name : {cyrillic + ".txt", greek + ".doc", chinese + ".htm", emoji + ".txt", std::string("plain.txt")})
    fs.addFile(temp + name);
  fs.addFile(temp + cyrillic + "\\" + greek + ".txt", "", AttrReadOnly);
  fs.addFile(temp + chinese + "\\" + emoji + "\\x.txt");
  fs.addFile("C:\\Keep\\" + emoji + ".txt");
  fs.addFile("C:\\Keep\\" + emoji + "x.txt");

  eraser::DeleteFolderTree(fs, temp, "*.*", true);
  EXPECT_EQ(fs.below("C:\\Temp"), Paths{});
  EXPECT_TRUE(fs.exists("C:\\Temp"));

  eraser::DeleteFolderTree(fs, "C:\\Keep\\", "?.txt", false);
  EXPECT_EQ(fs.below("C:\\Keep"), Paths{"C:\\Keep\\" + emoji + "x.txt"});
}

// The walk keeps its way down off the call stack: a tree far deeper than a
// small stack could recurse through is emptied on a thread with 64 KB.
TEST(FolderTree, ATreeDeeperThanTheStackCouldRecurseIsEmptied) {
  struct Run {
    fake::FakeFiles fs;
    std::string deepest = "C:\\Deep";
  } run;
  for (int i = 0; i < 400; ++i) run.deepest += "\\d";
  run.fs.addFile(run.deepest + "\\last.txt");
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  ASSERT_EQ(pthread_attr_setstacksize(&attr, 64 * 1024), 0);
  pthread_t thread;
  auto body = [](void* arg) -> void* {
    eraser::DeleteFolderTree(static_cast<Run*>(arg)->fs, "C:\\Deep\\", "*.*", true);
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attr, body, &run), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  EXPECT_EQ(run.fs.below("C:\\Deep"), Paths{});
  EXPECT_TRUE(run.fs.exists("C:\\Deep"));
}

}  // namespace

// The block list against the fake services: the sorted list, the list file
// and its format, add, remove, clear, import and export with their dialogs,
// "Counter Block", and a save that fails part-way.
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include "FakePlatform.h"
#include "popup/uBlockList.h"
#include "ui/ListBox.h"

using namespace std::string_literals;
using platform::Hive;
using Lines = std::vector<std::string>;

namespace {

constexpr const char* ListFile = "C:\\Tarnwick\\tarnwick_block.txt";
constexpr const char* TempFile = "C:\\Tarnwick\\tarnwick_block.txt.tmp";
constexpr const char* CounterPath = "software\\Tarnwick\\counter";

struct BlockList : ::testing::Test {
  fake::FakePlatform f;
  ui::PopupMenu trayMenu{f.toolkit, "PopupMenu1"};
  std::vector<int> trayImages;
  settings::OwnFolder ownFolder{f.files, f.dialogs, f.toolkit};
  std::unique_ptr<popup::TfrmBlockList> form;

  BlockList() {
    f.files.addFolder("C:\\Tarnwick");
    f.files.addFolder("D:\\lists");
    f.toolkit.setTitle("Tarnwick v3.4.1");
  }
  void start(const std::string* fileData) {
    if (fileData) f.files.addFile(ListFile, *fileData);
    form = std::make_unique<popup::TfrmBlockList>(
        f.platform, f.toolkit, popup::BlockListLinks{trayMenu, [this](int image) { trayImages.push_back(image); }},
        ownFolder);
    form->create();
  }
  void start(const std::string& fileData) { start(&fileData); }
  popup::BlockListStore& store() { return form->blockList; }
  const Lines& entries() { return form->lbBlock.items(); }
  std::string file(const std::string& path = ListFile) {
    auto* n = f.files.node(path);
    return n ? n->data : "<missing>";
  }
  std::optional<std::string> counter() {
    return f.registry.text(Hive::CurrentUser, CounterPath, "Counter Block");
  }
  // Runs an operation as an event handler does: an error goes to the error box.
  void handle(const std::function<void()>& op) { f.toolkit.dispatch(op); }
  std::vector<std::string> errors() {
    std::vector<std::string> out;
    for (auto& s : f.dialogs.shown)
      if (s.kind == "error") out.push_back(s.caption + ": " + s.text);
    return out;
  }
};

}  // namespace

TEST(SortedListBox, KeepsAStableAscendingOrderThatIgnoresCase) {
  ui::ListBox lb(nullptr, "lb");
  lb.setSorted(true);
  for (const char* s : {"beta", "Alpha", "alpha", "", "ALPHA", "b", "Beta", "[x]", "_y"}) lb.add(s);
  // Equal lines ignoring case stay in the order they came; letters compare
  // in lower case, so brackets and underscores come before them.
  EXPECT_EQ(lb.items(), (Lines{"", "[x]", "_y", "Alpha", "alpha", "ALPHA", "b", "beta", "Beta"}));
  EXPECT_EQ(lb.insert(0, "bb"), 7) << "a sorted list inserts at the sorted place, whatever the index";

  ui::ListBox plain(nullptr, "plain");
  plain.add("b");
  plain.add("a");
  plain.insert(1, "c");
  plain.insert(99, "d");
  EXPECT_EQ(plain.items(), (Lines{"b", "c", "a", "d"}));
  plain.setItemIndex(2);  // "a"
  plain.setSorted(true);
  EXPECT_EQ(plain.items(), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(plain.itemIndex(), 0) << "the selection follows its line";
}

TEST(SortedListBox, SelectionFollowsInsertionsAndDeletions) {
  ui::ListBox lb(nullptr, "lb");
  lb.setSorted(true);
  for (const char* s : {"m", "x"}) lb.add(s);
  lb.setItemIndex(1);  // "x"
  lb.add("a");
  EXPECT_EQ(lb.itemIndex(), 2);
  EXPECT_EQ(lb.items()[lb.itemIndex()], "x");
  lb.remove(0);
  EXPECT_EQ(lb.itemIndex(), 1);
  lb.remove(7);  // out of range: nothing
  EXPECT_EQ(lb.count(), 2);
  lb.remove(1);
  EXPECT_EQ(lb.itemIndex(), -1) << "deleting the selected line selects none";
  lb.setItemIndex(5);
  EXPECT_EQ(lb.itemIndex(), -1);
  lb.setItemIndex(0);
  lb.clear();
  EXPECT_EQ(lb.itemIndex(), -1);
  EXPECT_EQ(lb.count(), 0);
}

TEST_F(BlockList, FileFormatReadsEveryKindOfBreakAndWritesCrLf) {
  struct Case {
    std::string file;
    Lines loaded;
    std::string saved;
  };
  const std::vector<Case> cases = {
      {"b\r\na\r\na\r\n", {"a", "a", "b"}, "a\r\na\r\nb\r\n"},
      {"x\r\ny", {"x", "y"}, "x\r\ny\r\n"},
      {"x\r\n\r\n", {"", "x"}, "\r\nx\r\n"},
      {"b\na\nc", {"a", "b", "c"}, "a\r\nb\r\nc\r\n"},
      {"b\ra\rc\r", {"a", "b", "c"}, "a\r\nb\r\nc\r\n"},
      {"q\r\rp\n\r", {"", "", "p", "q"}, "\r\n\r\np\r\nq\r\n"},  // CR then CR LF; LF then CR
      {"", {}, ""},
      {"\r\n", {""}, "\r\n"},
      {"b\r\na\0z\r\nc\r\n"s, {"a", "b"}, "a\r\nb\r\n"},
      {" Foo \r\nfoo\r\n\tFOO\r\n", {"\tFOO", " Foo ", "foo"}, "\tFOO\r\n Foo \r\nfoo\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.file));
    f.files = fake::FakeFiles();
    f.files.addFolder("C:\\Tarnwick");
    start(c.file);
    EXPECT_EQ(entries(), c.loaded);
    store().SaveBlockList();
    EXPECT_EQ(file(), c.saved);
    EXPECT_FALSE(f.files.exists(TempFile));
  }
  EXPECT_TRUE(errors().empty()) << ::testing::PrintToString(errors());
}

TEST_F(BlockList, ASaveCutOffByAKilledProcessLeavesNothingAfterTheNextStart) {
  f.files.addFolder("C:\\Tarnwick");
  f.files.addFile(TempFile, "half a li");
  start("b\r\na\r\n");
  EXPECT_FALSE(f.files.exists(TempFile));
  EXPECT_EQ(entries(), (Lines{"a", "b"})) << "the list is the one last saved whole";
}

TEST_F(BlockList, AnUnreadableListFileIsReportedAndAMissingOneIsAnEmptyList) {
  // Held open by another program: reported, the list stays empty.
  f.files.addFile(ListFile, "a\r\n").locked = true;
  start(nullptr);
  EXPECT_EQ(errors(), (Lines{"Tarnwick v3.4.1: Cannot open file C:\\Tarnwick\\tarnwick_block.txt"}));
  EXPECT_TRUE(entries().empty());

  // Before the first save there is no file: nothing to report.
  form.reset();
  f.files.node(ListFile)->locked = false;
  ASSERT_TRUE(f.files.deleteFile(ListFile));
  f.files.log.clear();
  f.dialogs.shown.clear();
  start(nullptr);
  EXPECT_TRUE(errors().empty()) << ::testing::PrintToString(errors());
  EXPECT_TRUE(entries().empty());
  EXPECT_TRUE(f.files.log.empty()) << "nothing written at start";
  EXPECT_FALSE(counter());

  // Adding still works and makes the file.
  EXPECT_TRUE(store().AddBlockEntry("first"));
  EXPECT_EQ(file(), "first\r\n");
}

TEST_F(BlockList, AddRemoveAndClearWriteAtOnceAndKeepTheCounterRules) {
  start("b\r\nfoo\r\n");
  f.registry.setString(Hive::CurrentUser, CounterPath, "Counter Block", "7");
  int refreshes = 0;
  store().OnStatisticsChanged = [&] { ++refreshes; };

  EXPECT_FALSE(store().AddBlockEntry("foo"));
  EXPECT_TRUE(f.files.log.empty()) << "an entry already present changes nothing";
  EXPECT_TRUE(store().AddBlockEntry("Foo")) << "equality is case-sensitive";
  EXPECT_EQ(entries(), (Lines{"b", "foo", "Foo"}));
  EXPECT_EQ(file(), "b\r\nfoo\r\nFoo\r\n");
  EXPECT_EQ(counter(), "7") << "the caller stores the count after an add";
  store().StoreBlockCount();
  EXPECT_EQ(counter(), "3");
  EXPECT_EQ(refreshes, 0);

  store().RemoveBlockEntry(0);
  EXPECT_EQ(entries(), (Lines{"foo", "Foo"}));
  EXPECT_EQ(file(), "foo\r\nFoo\r\n");
  EXPECT_EQ(counter(), "2");
  EXPECT_EQ(refreshes, 1);
  const auto writes = f.files.log.size();
  store().RemoveBlockEntry(2);
  store().RemoveBlockEntry(-1);
  EXPECT_EQ(f.files.log.size(), writes) << "no entry there: nothing happens";
  EXPECT_EQ(refreshes, 1);

  store().ClearBlockList();
  EXPECT_TRUE(entries().empty());
  EXPECT_EQ(file(), "") << "an empty list is a zero-byte file";
  EXPECT_EQ(counter(), "2") << "clearing keeps the count";

  // Saved, the list file comes back the same at the next start.
  store().AddBlockEntry("z");
  store().AddBlockEntry("y");
  start(nullptr);
  EXPECT_EQ(entries(), (Lines{"y", "z"}));
}

TEST_F(BlockList, ImportReplacesTheListWithoutSavingOrCounting) {
  start("0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n");
  store().StoreBlockCount();
  ASSERT_EQ(counter(), "10");
  f.files.addFile("D:\\lists\\in.txt", "zeta\nAlpha\r\nmid");
  const auto writes = f.files.log.size();

  f.dialogs.fileAnswers = {std::string("D:\\lists\\in.txt")};
  store().ImportBlockList();
  EXPECT_EQ(entries(), (Lines{"Alpha", "mid", "zeta"}));
  EXPECT_EQ(counter(), "10");
  EXPECT_EQ(f.files.log.size(), writes) << "the list file is not written";

  ASSERT_EQ(f.dialogs.fileDialogs.size(), 1u);
  const auto& shown = f.dialogs.fileDialogs[0];
  EXPECT_EQ(shown.kind, "open");
  EXPECT_EQ(shown.owner, form->handle());
  EXPECT_EQ(shown.options.title, "Import Block List...");
  EXPECT_EQ(shown.options.filter, "Text file (*.txt)|*.txt");
  EXPECT_EQ(shown.options.initialFolder, "C:\\Tarnwick\\");
  EXPECT_EQ(shown.options.fileName, "tarnwick_block.txt");
  EXPECT_EQ(shown.options.defaultExt, "");

  // Cancelled: nothing changes; the dialog proposes the path chosen before.
  store().ImportBlockList();
  EXPECT_EQ(entries(), (Lines{"Alpha", "mid", "zeta"}));
  EXPECT_EQ(f.dialogs.fileDialogs.at(1).options.fileName, "D:\\lists\\in.txt");

  // The next change brings the imported entries to the list file and the count.
  store().RemoveBlockEntry(1);
  EXPECT_EQ(file(), "Alpha\r\nzeta\r\n");
  EXPECT_EQ(counter(), "2");

  // A chosen file that cannot be read: the list is already empty.
  f.dialogs.fileAnswers = {std::string("D:\\lists\\gone.txt")};
  handle([&] { store().ImportBlockList(); });
  EXPECT_EQ(errors(), (Lines{"Tarnwick v3.4.1: Cannot open file D:\\lists\\gone.txt"}));
  EXPECT_TRUE(entries().empty());
  EXPECT_EQ(file(), "Alpha\r\nzeta\r\n");
}

TEST_F(BlockList, ExportWritesTheListAndImportBringsItBackExactly) {
  start("b\r\nB\r\n\r\na\r\nb\r\n");
  const Lines before = entries();
  f.files.addFile("D:\\lists\\out.txt", "old content that is longer\r\n");

  f.dialogs.fileAnswers = {std::string("D:\\lists\\out.txt")};
  store().ExportBlockList();
  EXPECT_EQ(file("D:\\lists\\out.txt"), "\r\na\r\nb\r\nB\r\nb\r\n") << "replaced without a question";
  EXPECT_FALSE(f.files.exists("D:\\lists\\out.txt.tmp"));
  const auto& shown = f.dialogs.fileDialogs.at(0);
  EXPECT_EQ(shown.kind, "save");
  EXPECT_EQ(shown.owner, form->handle());
  EXPECT_EQ(shown.options.title, "Export Block List...");
  EXPECT_EQ(shown.options.filter, "Text file (*.txt)|*.txt");
  EXPECT_EQ(shown.options.initialFolder, "C:\\Tarnwick\\");
  EXPECT_EQ(shown.options.fileName, "") << "nothing saved yet in this run";
  EXPECT_EQ(shown.options.defaultExt, "");

  // The export dialog proposes the last path chosen...
  store().ExportBlockList();
  EXPECT_EQ(f.dialogs.fileDialogs.at(1).options.fileName, "D:\\lists\\out.txt");

  store().ClearBlockList();
  f.dialogs.fileAnswers = {std::string("D:\\lists\\out.txt")};
  store().ImportBlockList();
  EXPECT_EQ(entries(), before);

  // ...and the list file's name once the list has been saved.
  store().ExportBlockList();
  EXPECT_EQ(f.dialogs.fileDialogs.at(3).options.fileName, "tarnwick_block.txt");
  EXPECT_EQ(file("D:\\lists\\out.txt"), "\r\na\r\nb\r\nB\r\nb\r\n") << "cancelled exports write nothing";

  // An export that cannot be written.
  f.files.addFile("D:\\lists\\ro.txt", "kept\r\n", platform::AttrReadOnly);
  f.dialogs.fileAnswers = {std::string("D:\\lists\\ro.txt")};
  handle([&] { store().ExportBlockList(); });
  EXPECT_EQ(errors(), (Lines{"Tarnwick v3.4.1: Cannot create file D:\\lists\\ro.txt"}));
  EXPECT_EQ(file("D:\\lists\\ro.txt"), "kept\r\n");
  EXPECT_FALSE(f.files.exists("D:\\lists\\ro.txt.tmp"));
}

TEST_F(BlockList, ASaveThatFailsKeepsTheOldFileAndSkipsWhatFollows) {
  start("old one\r\nold two\r\n");
  f.registry.setString(Hive::CurrentUser, CounterPath, "Counter Block", "2");
  int refreshes = 0;
  store().OnStatisticsChanged = [&] { ++refreshes; };

  // A write that breaks off after a few bytes, as on a full disk.
  f.files.failWriteAfter = 5;
  handle([&] {
    if (store().AddBlockEntry("added")) store().StoreBlockCount();
  });
  EXPECT_EQ(errors(), (Lines{"Tarnwick v3.4.1: Cannot create file C:\\Tarnwick\\tarnwick_block.txt"}));
  EXPECT_EQ(file(), "old one\r\nold two\r\n");
  EXPECT_FALSE(f.files.exists(TempFile));
  EXPECT_EQ(entries(), (Lines{"added", "old one", "old two"})) << "the list keeps the change";
  EXPECT_EQ(counter(), "2");

  // The file cannot be replaced (held open by another program): skipped
  // as well, and not said a second time.
  f.files.node(ListFile)->locked = true;
  handle([&] { store().RemoveBlockEntry(0); });
  EXPECT_EQ(errors().size(), 1u);
  EXPECT_FALSE(f.files.exists(TempFile));
  EXPECT_EQ(counter(), "2") << "no count and no refresh after a failed save";
  EXPECT_EQ(refreshes, 0);
  f.files.node(ListFile)->locked = false;

  // A good save goes through the temporary file.
  f.files.log.clear();
  store().ClearBlockList();
  EXPECT_EQ(f.files.log,
            (Lines{std::string("write:") + TempFile, std::string("move:") + TempFile + ">" + ListFile}));
  EXPECT_EQ(file(), "");
  EXPECT_FALSE(f.files.exists(TempFile));
}

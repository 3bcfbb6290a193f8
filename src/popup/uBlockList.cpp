#include "popup/uBlockList.h"
#include "chrome/TrayFlash.h"
#include "popup/uOpozorilo.h"
#include "settings/Readers.h"
#include "settings/Schema.h"

namespace popup {

namespace {

constexpr int ClientWidth = 597;
constexpr int ClientHeight = 385;
constexpr std::size_t QuotedTitle = 50;
constexpr const char* ClearAllQuestion = "Are you sure you want to clear Block List?";

}  // namespace

TfrmBlockList::TfrmBlockList(platform::Platform& platform, ui::Toolkit& toolkit, BlockListLinks links,
                             settings::OwnFolder& ownFolder)
    : chrome::HeaderForm(toolkit, "frmBlockList", ClientWidth, ClientHeight),
      btnMinimize(addHeaderButton("btnMinimize", ui::Glyph::Popup, "Hide", [this] { btnMinimizeClick(); })),
      btnHelp(addHeaderButton("btnHelp", ui::Glyph::Help, "Show Help", [this] { btnHelpClick(); })),
      Label1(&Panel1, "Label1"),
      lbURLs(&Panel1, "lbURLs"),
      btn_refresh(&Panel1, "btn_refresh", "Re&fresh"),
      btn_add(&Panel1, "btn_add", "&Add >>"),
      btn_remove(&Panel1, "btn_remove", "<< R&emove"),
      Label2(&Panel1, "Label2"),
      lbBlock(&Panel1, "lbBlock"),
      btn_export(&Panel1, "btn_export", "&Save"),
      btn_import(&Panel1, "btn_import", "&Load"),
      btnClearAll(&Panel1, "btnClearAll", "Clea&r all"),
      lb_count_ie(&Panel1, "lb_count_ie"),
      lb_count_block(&Panel1, "lb_count_block"),
      lb_counter(&Panel1, "lb_counter"),
      btn_close(&Panel1, "btn_close", "&Close"),
      Close_popup(toolkit, platform.timers, 1000, false),
      MaxWindows(toolkit, platform.timers, 500, false),
      Timer1(toolkit, platform.timers, 300, false),
      Reg_Cnt(platform.registry, settings::TmRootKey::rkHKEY_CURRENT_USER, settings::keys::Counter, true),
      blockList(platform.files, platform.dialogs, ownFolder, *this, lbBlock, Reg_Cnt),
      browserSuffixes(platform.registry, platform.clock),
      census(platform.windows, platform.clock),
      platform_(platform),
      links_(std::move(links)),
      trayMenu_(links_.trayMenu) {
  setCaption("Block List");
  setBorderStyle(ui::BorderStyle::None);
  setPosition(ui::FormPosition::ScreenCenter);
  layout();
  lbBlock.setSorted(true);
  lbURLs.OnDblClick = [this] { btn_addClick(); };
  lbBlock.OnDblClick = [this] { btn_removeClick(); };
  btn_refresh.OnClick = [this] { btn_refreshClick(); };
  btn_add.OnClick = [this] { btn_addClick(); };
  btn_remove.OnClick = [this] { btn_removeClick(); };
  btn_export.OnClick = [this] { btn_exportClick(); };
  btn_import.OnClick = [this] { btn_importClick(); };
  btnClearAll.OnClick = [this] { btnClearAllClick(); };
  btn_close.OnClick = [this] { btn_closeClick(); };
  // Escape closes it as Close does.
  btn_close.Cancel = true;
  Timer1.OnTimer = [this] { Timer1Timer(); };
  Close_popup.OnTimer = [this] { Close_popupTimer(); };
  MaxWindows.OnTimer = [this] { MaxWindowsTimer(); };
  blockList.OnStatisticsChanged = [this] { blocker.refreshStats(); };
  OnCreate = [this] { FormCreate(); };
  OnShow = [this] { FormShow(); };
  OnHide = [this] { FormHide(); };
  OnClose = [this](ui::CloseAction& a) { FormClose(a); };
  OnHelp = [this] { btnHelpClick(); };
}

TfrmBlockList::~TfrmBlockList() { destroy(); }

// The open windows on the left and the block list on the right, each with
// its label above and its counts below; Add and Remove between them.
void TfrmBlockList::layout() {
  constexpr int ListTop = 42, ListWidth = 240, ListHeight = 226, Left = 12, Right = 345, Middle = 262;
  Label1.setCaption("Currently opened IE windows:");
  Label1.setBounds(Left, 24, 0, 13);
  lbURLs.setBounds(Left, ListTop, ListWidth, ListHeight);
  Label2.setCaption("Block list:");
  Label2.setBounds(Right, 24, 0, 13);
  lbBlock.setBounds(Right, ListTop, ListWidth, ListHeight);
  btn_add.setBounds(Middle, 118, 74, 25);
  btn_remove.setBounds(Middle, 150, 74, 25);

  // Wide enough for the counts they show; the texts are set within 300 ms.
  lb_count_ie.setCaption("Number of opened IE windows: 0");
  lb_count_block.setCaption("Block List number: 0");
  lb_counter.setCaption("Counter");
  for (ui::Label* label : {&lb_count_ie, &lb_count_block, &lb_counter}) {
    label->setAutoSize(false);
    label->setWordWrap(false);
  }
  lb_count_ie.setBounds(Left, 276, ListWidth, 13);
  lb_count_block.setBounds(Right, 276, ListWidth, 13);
  lb_counter.setBounds(Right, 294, ListWidth, 13);

  btn_refresh.setBounds(Left, 318, 80, 25);
  btn_export.setBounds(Right, 318, 76, 25);
  btn_import.setBounds(Right + 82, 318, 76, 25);
  btnClearAll.setBounds(Right + 164, 318, 76, 25);
  btn_close.setBounds(ClientWidth - 92, ClientHeight - 35, 80, 25);
}

// A list file that cannot be read ends this handler with its error; the
// list stays empty and the program goes on.
void TfrmBlockList::FormCreate() {
  RemoveCaption();
  FillOpenWindows();
  blockList.LoadBlockList();
}

// The counting labels are seen only while the window is: they are brought
// up to date as it comes up and kept so while it stays, and a hidden
// window's timer costs the idle program nothing.
void TfrmBlockList::FormShow() {
  trayMenu_.pause();
  Timer1Timer();
  Timer1.setEnabled(true);
}

void TfrmBlockList::FormHide() { Timer1.setEnabled(false); }
void TfrmBlockList::FormClose(ui::CloseAction&) { trayMenu_.resume(); }

void TfrmBlockList::FillOpenWindows() {
  std::vector<std::string> lines;
  for (const IEWindow& w : EnumIEWindowTitles(platform_.windows)) lines.push_back(ShortTitle(w.title, browserSuffixes.list()));
  lbURLs.setItems(std::move(lines));
}

void TfrmBlockList::btn_refreshClick() { FillOpenWindows(); }

void TfrmBlockList::notice(bool warning, const std::string& text) {
  ShowNotice(*this, links_.trayMenu, warning ? NoticeKind::Warning : NoticeKind::Information, text);
}

void TfrmBlockList::btn_addClick() {
  const int selected = lbURLs.itemIndex();
  if (selected < 0) {
    notice(false, "Please select IE window you wish to block.");
    return;
  }
  const std::string title = lbURLs.items()[selected];
  if (!blockList.AddBlockEntry(title)) {
    notice(true, "\"" + title.substr(0, QuotedTitle) + "\"  already exists in Block List!");
    return;
  }
  chrome::FlashTray(links_.setTrayIcon, platform_.clock, chrome::TrayImageAdded);
  blockList.StoreBlockCount();
  blocker.refreshStats();
}

void TfrmBlockList::btn_removeClick() {
  const int selected = lbBlock.itemIndex();
  if (selected < 0) {
    notice(false, "Select something in Block List!");
    return;
  }
  blockList.RemoveBlockEntry(selected);
}

void TfrmBlockList::btn_exportClick() { blockList.ExportBlockList(); }
void TfrmBlockList::btn_importClick() { blockList.ImportBlockList(); }

void TfrmBlockList::btnClearAllClick() {
  if (platform_.dialogs.question(ClearAllQuestion, settings::QuestionCaption)) blockList.ClearBlockList();
}

void TfrmBlockList::btn_closeClick() { close(); }
void TfrmBlockList::btnMinimizeClick() { close(); }
void TfrmBlockList::btnHelpClick() { platform_.help.topic(settings::HelpFile, "BlockList"); }

void TfrmBlockList::Timer1Timer() {
  lb_count_ie.setCaption("Number of opened IE windows:  " + std::to_string(lbURLs.count()));
  lb_count_block.setCaption("Number of blocked IE windows:  " + std::to_string(lbBlock.count()));
}

// One enumeration serves every entry's lookup; it is taken again only after
// a close, which held the program for the flash while windows went away.
void TfrmBlockList::Close_popupTimer() {
  IEWindowIndex windows(platform_.windows, census, CaptionEndings(browserSuffixes.list()));
  const int entries = lbBlock.count();
  for (int i = 0; i < entries && i < lbBlock.count(); ++i) {
    const platform::WindowId found = windows.findEntryKey(entryKeys(windows)[static_cast<std::size_t>(i)]);
    if (!found || !CloseIEWindow(platform_.windows, found)) continue;
    if (const std::string sound = blocker.closeSound(); !sound.empty()) platform_.sound.play(sound);
    chrome::FlashTray(links_.setTrayIcon, platform_.clock, chrome::TrayImageClosed);
    if (blocker.counting()) {
      settings::RaiseCounter(Reg_Cnt, settings::counters::Counter);
      blocker.refreshClosedPopups();
      blocker.refreshStats();
    }
    windows.retake();
  }
}

// The entries' keys, worked out again only after the list has changed.
const std::vector<std::string>& TfrmBlockList::entryKeys(const IEWindowIndex& windows) {
  if (keyedRevision_ != lbBlock.revision() || entryKeys_.size() != lbBlock.items().size()) {
    entryKeys_.clear();
    entryKeys_.reserve(lbBlock.items().size());
    for (const std::string& entry : lbBlock.items()) entryKeys_.push_back(windows.keyOf(entry));
    keyedRevision_ = lbBlock.revision();
  }
  return entryKeys_;
}

// The topmost listed window is closed by its handle: its title may have
// been cut in the list, and a cut title names no window. Whether any IE
// window exists at all matters only when there is one to close.
void TfrmBlockList::MaxWindowsTimer() {
  ListBox1 = EnumVisibleIEWindows(platform_.windows, census);
  const int limit = blocker.windowLimit();
  if (limit >= static_cast<int>(ListBox1.size())) return;
  if (!AnyIEWindowExists(platform_.windows)) return;
  if (!CloseIEWindow(platform_.windows, ListBox1.front().handle)) return;
  census.retake();
  settings::RaiseCounter(Reg_Cnt, settings::counters::CounterMax);
  blocker.refreshStats();
}

}  // namespace popup

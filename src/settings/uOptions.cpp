#include "settings/uOptions.h"
#include <iterator>
#include "chrome/TrayFlash.h"
#include "popup/IEWindows.h"
#include "popup/uOpozorilo.h"
#include "settings/LockState.h"
#include "settings/Readers.h"
#include "settings/Schema.h"

namespace settings {

namespace {

constexpr int ClientWidth = 353;
constexpr int ClientHeight = 365;

constexpr const char* NeedEraseCategory =
    "You have to select one of the options in Erase tab in order to use this option!";
constexpr const char* AddressBarOrLastTyped =
    "Please choose only one option, either to clear whole IE Address Bar or to clear only last typed urls!";
constexpr const char* ResetCounterQuestion = "Are you sure you want to reset popup counter?";
constexpr const char* RestoreDefaultsQuestion = "Are you sure you want to restore default settings?";

constexpr const char* DefaultHotKey = "Shift+Ctrl+A";
constexpr const char* DefaultPanicHotKey = "Shift+Ctrl+P";
constexpr int MaxWindowLimit = 15;
constexpr const char* RunEntryFile = "tarnwick.exe";

// A key that holds no registration (none stored at start, or taken then)
// is registered afresh, so the applied key works at once.
std::uint16_t reRegister(popup::THotKeyManager& manager, std::uint16_t index, std::uint32_t value) {
  return index ? manager.ReplaceKey(index, value) : manager.RegisterKey(value);
}

const char* flag(bool on) { return on ? "1" : "0"; }
// The browser's own switches read the other way round: "no" when our box
// switches the suggestion off.
const char* suggest(bool disabled) { return disabled ? "no" : "yes"; }

constexpr int Gap = 22;  // between the rows of check boxes

void place(ui::Control& c, int x, int y, int w, int h = 17) { c.setBounds(x, y, w, h); }

// Labels keep a width of their own: a caption that grows never runs into
// what stands right of it, and never loses its last letters.
void placeLabel(ui::Label& l, const std::string& caption, int x, int y, int w = 160) {
  l.setAutoSize(false);
  l.setCaption(caption);
  l.setBounds(x, y, w, 14);
}

}  // namespace

std::string FormatThousands(std::int64_t n, const std::string& separator) {
  const bool negative = n < 0;
  // Digits of the magnitude, built without overflowing at the minimum.
  std::string digits;
  do {
    const int d = static_cast<int>(n % 10);
    digits.insert(digits.begin(), static_cast<char>('0' + (d < 0 ? -d : d)));
    n /= 10;
  } while (n != 0);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return negative ? "-" + out : out;
}

std::string ClosedPopupsText(std::int64_t count, const std::string& separator) {
  return "Closed popups:  " + FormatThousands(count, separator);
}

TfrmOptions::TfrmOptions(platform::Platform& platform, ui::Toolkit& toolkit, OptionsLinks links,
                         popup::TfrmBlockList& blockList)
    : chrome::HeaderForm(toolkit, "frmOptions", ClientWidth, ClientHeight),
      btnMinimize(addHeaderButton("btnMinimize", ui::Glyph::Popup, "Hide", [this] { close(); })),
      btnHelp(addHeaderButton("btnHelp", ui::Glyph::Help, "Show Help", [this] { btnHelpClick(); })),
      PC(&Panel1, "PC"),
      Tab1(PC, "Tab1", "&Erase"),
      gbErase(&Tab1, "gbErase", "Erase"),
      lbClean(&gbErase, "lbClean"),
      cb_cache(&gbErase, "cb_cache", "&IE Cache"),
      cb_cookies(&gbErase, "cb_cookies", "&Cookies"),
      cb_history(&gbErase, "cb_history", "I&E History"),
      cb_address(&gbErase, "cb_address", "IE &Address Bar"),
      cb_recent(&gbErase, "cb_recent", "&Recent Documents"),
      cb_temp(&gbErase, "cb_temp", "&Temp Folder"),
      cb_recycle(&gbErase, "cb_recycle", "Em&pty Recycle Bin"),
      cb_runhistory(&gbErase, "cb_runhistory", "Run &History"),
      cb_find(&gbErase, "cb_find", "&Find History"),
      btn_keep(&gbErase, "btn_keep", "&Keep..."),
      btn_preview(&gbErase, "btn_preview", "Pre&view..."),
      tab3(PC, "tab3", "&Browser"),
      gbBrowser(&tab3, "gbBrowser", "Browser settings"),
      cb_startpage(&gbBrowser, "cb_startpage", "&Set this start page"),
      edit_startpage(&gbBrowser, "edit_startpage"),
      cb_web(&gbBrowser, "cb_web", "&Disable auto suggest: Web addresses"),
      cb_forms(&gbBrowser, "cb_forms", "D&isable auto suggest: Forms"),
      cb_disable(&gbBrowser, "cb_disable", "Di&sable suggest user names and pass on forms"),
      cb_last(&gbBrowser, "cb_last", "&Clear last typed URL"),
      tab4(PC, "tab4", "&Popup Blocker"),
      gbPopup(&tab4, "gbPopup", "Popup blocking settings"),
      cb_popup(&gbPopup, "cb_popup", "&Enable popup blocker"),
      cb_counter(&gbPopup, "cb_counter", "En&able popup counter"),
      btn_counter(&gbPopup, "btn_counter", "&Reset counter"),
      lb_max(&gbPopup, "lb_max"),
      rb_limit_set(&gbPopup, "rb_limit_set", "&Set the limit of opened windows manually"),
      se_limit(&gbPopup, "se_limit"),
      rb_limit_max(&gbPopup, "rb_limit_max", "Set the ma&x limit (15 windows)"),
      lbHotKey(&gbPopup, "lbHotKey"),
      ed_hotkey(&gbPopup, "ed_hotkey"),
      cb_hotkey(&gbPopup, "cb_hotkey", "Hot key pressed"),
      btn_block(&gbPopup, "btn_block", "Show Block &List"),
      tab2(PC, "tab2", "&Misc"),
      gbMisc(&tab2, "gbMisc", "Misc"),
      cb_run(&gbMisc, "cb_run", "&Load Tarnwick at Windows startup"),
      cb_erase(&gbMisc, "cb_erase", "&Erase (cookies, history, addresses...) each time IE is closed"),
      cb_sound(&gbMisc, "cb_sound", "&Play sound when popup is closed"),
      Label2(&gbMisc, "Label2"),
      ed_sound(&gbMisc, "ed_sound"),
      btn_open(&gbMisc, "btn_open", "..."),
      btn_play(&gbMisc, "btn_play", "Play"),
      cb_closedpopup(&gbMisc, "cb_closedpopup", "&Show Closed Popups in tray menu"),
      cb_mouse(&gbMisc, "cb_mouse", "En&able left mouse button"),
      lbPanic(&gbMisc, "lbPanic"),
      ed_panic(&gbMisc, "ed_panic"),
      lbPassword(&gbMisc, "lbPassword"),
      edpas(&gbMisc, "edpas"),
      tab5(PC, "tab5", "Stats"),
      gbStats(&tab5, "gbStats", "Stats"),
      lbPopupStats(&gbStats, "lbPopupStats"),
      lbBlocked(&gbStats, "lbBlocked"),
      lbBlockList(&gbStats, "lbBlockList"),
      lbHotKeyStats(&gbStats, "lbHotKeyStats"),
      lbBossPanic(&gbStats, "lbBossPanic"),
      lbPopHot(&gbStats, "lbPopHot"),
      lbMiscStats(&gbStats, "lbMiscStats"),
      lbMaxWindows(&gbStats, "lbMaxWindows"),
      counter_popup(&gbStats, "counter_popup"),
      counter_block(&gbStats, "counter_block"),
      counter_panic(&gbStats, "counter_panic"),
      counter_pophot(&gbStats, "counter_pophot"),
      Counter_Max(&gbStats, "Counter_Max"),
      btnApply(&Panel1, "btnApply", "&Apply"),
      btnRestore(&Panel1, "btnRestore", "&Default"),
      btnClose(&Panel1, "btnClose", "&Close"),
      reg1(platform.registry, TmRootKey::rkHKEY_CURRENT_USER, keys::Main, true),
      reg_erase(platform.registry, TmRootKey::rkHKEY_CURRENT_USER, keys::Erase, true),
      Reg_Counter(platform.registry, TmRootKey::rkHKEY_CURRENT_USER, keys::Counter, true),
      Reg2(platform.registry, TmRootKey::rkHKEY_CURRENT_USER, keys::Run, true),
      Reg3(platform.registry, TmRootKey::rkHKEY_CURRENT_USER, keys::IEMain, true),
      Reg4(platform.registry, TmRootKey::rkHKEY_CURRENT_USER, keys::AutoComplete, true),
      HotKey(platform.hotKeys, toolkit),
      PanicHotKey(platform.hotKeys, toolkit),
      platform_(platform),
      links_(std::move(links)),
      blockList_(blockList),
      trayMenu_(links_.trayMenu) {
  setCaption("Options");
  setBorderStyle(ui::BorderStyle::None);
  setPosition(ui::FormPosition::ScreenCenter);
  Panel1.setColor(ui::clSilver);
  cntHeader.setColor(ui::clSilver);
  layout();
  bindHandlers();
  blockList_.blocker = blockerControls();
  OnCreate = [this] { FormCreate(); };
  OnShow = [this] { FormShow(); };
  OnClose = [this](ui::CloseAction& a) { FormClose(a); };
  OnHelp = [this] { btnHelpClick(); };
}

TfrmOptions::~TfrmOptions() { destroy(); }

void TfrmOptions::layout() {
  PC.setBounds(8, 22, ClientWidth - 16, 300);
  for (ui::GroupBox* g : {&gbErase, &gbBrowser, &gbPopup, &gbMisc, &gbStats}) g->setBounds(4, 4, 325, 262);

  placeLabel(lbClean, "What do you want to clean:", 14, 20, 200);
  int y = 40;
  for (ui::CheckBox* c : {&cb_cache, &cb_cookies, &cb_history, &cb_address, &cb_recent, &cb_temp, &cb_recycle,
                          &cb_runhistory, &cb_find}) {
    place(*c, 24, y, 200);
    y += Gap;
  }
  cb_cache.setHint("Cleans IE Cache files + index.dat file!");
  cb_cookies.setHint("Cleans IE Cookies + index.dat file!");
  cb_history.setHint("Cleans IE History + index.dat information!");
  cb_address.setHint("Cleans IE Address Bar (URLs) entered into Location bar in IE");
  cb_recent.setHint("Cleans Recent Documents used in Windows menu");
  cb_temp.setHint("Cleans all Windows Temp files");
  cb_recycle.setHint("Clear all files and folder from Recycle Bin");
  cb_runhistory.setHint("Cleans Run History from Windows Start menu");
  cb_find.setHint("Cleans Find History for files and folders");
  // Beside the Cookies box, and level with the last row.
  btn_keep.setBounds(232, 40 + Gap - 3, 80, 23);
  btn_keep.setHint("Choose the sites whose cookies every erase keeps");
  btn_preview.setBounds(232, 40 + 8 * Gap - 3, 80, 23);
  btn_preview.setHint("See what an erase would remove now");

  place(cb_startpage, 14, 24, 290);
  cb_startpage.setHint(
      "Checking this option, the Tarnwick will block sites from automatically changing your Home Page");
  place(edit_startpage, 32, 46, 272, 21);
  edit_startpage.setText("about:blank");
  edit_startpage.setEnabled(false);
  place(cb_web, 14, 84, 290);
  cb_web.setHint("Disables Auto Sugget in IE Address Bar (Location Bar)");
  place(cb_forms, 14, 84 + Gap, 290);
  cb_forms.setHint("Disables Auto Sugget on websites forms");
  place(cb_disable, 14, 84 + 2 * Gap, 290);
  cb_disable.setHint("Similar to Forms, but disables user names and passwords");
  place(cb_last, 14, 84 + 3 * Gap, 290);
  cb_last.setHint("Clears only last typed URL from IE Address Bar");

  place(cb_popup, 14, 22, 180);
  cb_popup.setHint("If checked, Tarnwick will block all IE popups that are listed on Block list");
  place(cb_counter, 14, 22 + Gap, 180);
  cb_counter.setHint("If checked, Tarnwick will count how many popup windows has been closed so far");
  cb_counter.setEnabled(false);
  btn_counter.setBounds(206, 40, 100, 25);
  btn_counter.setHint("Sets popup counter to 0");
  btn_counter.setEnabled(false);
  placeLabel(lb_max, "Limit max opened windows:", 14, 76, 200);
  lb_max.setEnabled(false);
  place(rb_limit_set, 24, 94, 230);
  rb_limit_set.setChecked(true);
  rb_limit_set.setEnabled(false);
  se_limit.setBounds(262, 92, 44, 21);
  se_limit.setRange(0, MaxWindowLimit);
  se_limit.setValue(5);
  se_limit.digits = 2;
  se_limit.setEnabled(false);
  place(rb_limit_max, 24, 94 + Gap, 230);
  rb_limit_max.setEnabled(false);
  placeLabel(lbHotKey, "Set popup hot key:", 14, 150);
  place(ed_hotkey, 14, 166, 160, 21);
  ed_hotkey.setHotKey(ui::shortcut::Ctrl | 'A');
  ed_hotkey.setHint(
      "When you press hot key, Tarnwick will save that active IE popup window into Block List");
  cb_hotkey.setVisible(false);
  btn_block.setBounds(14, 204, 120, 25);

  place(cb_run, 10, 20, 312);
  cb_run.setHint("Will load Tarnwick when Windows starts");
  place(cb_erase, 10, 20 + Gap, 312);
  cb_erase.setHint("This will clean all the options you select in Erase tab each time you close IE");
  place(cb_sound, 10, 20 + 2 * Gap, 312);
  cb_sound.setHint("Each time popup window is closed, play selected wav file");
  placeLabel(Label2, "File name:", 32, 93, 56);
  Label2.setEnabled(false);
  place(ed_sound, 90, 89, 150, 21);
  ed_sound.setEnabled(false);
  ed_sound.holdsPath = true;
  btn_open.setBounds(244, 88, 24, 23);
  btn_open.setHint("Select wav file to play");
  btn_open.setEnabled(false);
  btn_play.setBounds(270, 88, 38, 23);
  btn_play.setHint("Play selected wav file");
  btn_play.setEnabled(false);
  place(cb_closedpopup, 10, 122, 312);
  cb_closedpopup.setHint(
      "If checked, you can see number of closed popups when you do right click on Tarnwick icon in system tray");
  place(cb_mouse, 10, 122 + Gap, 312);
  placeLabel(lbPanic, "Boss-Panic hot key:", 14, 178, 140);
  place(ed_panic, 14, 194, 140, 21);
  ed_panic.setHotKey(ui::shortcut::Ctrl | 'P');
  ed_panic.setHint("When you press hot key, Tarnwick will save that active IE popup window into Block List");
  placeLabel(lbPassword, "Password setup:", 168, 178, 138);
  place(edpas, 168, 194, 138, 21);
  edpas.setPasswordChar('*');
  edpas.setHint("Enter password so that no one can change your settings");

  struct Row {
    ui::Label& title;
    const char* caption;
    ui::Label* value;
    int indent, y;
  };
  const Row rows[] = {
      {lbPopupStats, "Pop-up statistics:", nullptr, 14, 22}, {lbBlocked, "Pop-ups blocked:", &counter_popup, 30, 42},
      {lbBlockList, "Block list:", &counter_block, 30, 60},  {lbHotKeyStats, "Hot key statistics:", nullptr, 14, 90},
      {lbBossPanic, "Boss-Panic:", &counter_panic, 30, 110},  {lbPopHot, "Pop-up hot key:", &counter_pophot, 30, 128},
      {lbMiscStats, "Misc statistics:", nullptr, 14, 158},    {lbMaxWindows, "Max windows:", &Counter_Max, 30, 178},
  };
  for (const Row& r : rows) {
    placeLabel(r.title, r.caption, r.indent, r.y, r.value ? 118 : 200);
    if (!r.value) {
      r.title.font().setStyle(ui::fontstyle::Bold);
      continue;
    }
    placeLabel(*r.value, "0", 150, r.y, 150);
    r.value->font().setColor(ui::clBlue);
  }

  btnApply.setBounds(8, 332, 80, 25);
  btnApply.Default = true;
  btnRestore.setBounds(96, 332, 80, 25);
  btnClose.setBounds(ClientWidth - 88, 332, 80, 25);
  btnClose.Cancel = true;
}

void TfrmOptions::bindHandlers() {
  btnApply.OnClick = [this] { btnApplyClick(); };
  btnRestore.OnClick = [this] { btnRestoreClick(); };
  btnClose.OnClick = [this] { btnCloseClick(); };
  cb_popup.OnClick = [this] { cb_popupClick(); };
  cb_counter.OnClick = [this] { cb_counterClick(); };
  btn_counter.OnClick = [this] { btn_counterClick(); };
  cb_closedpopup.OnClick = [this] { cb_closedpopupClick(); };
  cb_sound.OnClick = [this] { cb_soundClick(); };
  ed_sound.OnChange = [this] { ed_soundChange(); };
  btn_open.OnClick = [this] { btn_openClick(); };
  btn_play.OnClick = [this] { btn_playClick(); };
  cb_startpage.OnClick = [this] { cb_startpageClick(); };
  cb_mouse.OnClick = [this] { cb_mouseClick(); };
  rb_limit_set.OnClick = [this] { rb_limitClick(); };
  rb_limit_max.OnClick = [this] { rb_limitClick(); };
  btn_block.OnClick = [this] { btn_blockClick(); };
  btn_keep.OnClick = [this] { btn_keepClick(); };
  btn_preview.OnClick = [this] { btn_previewClick(); };
  HotKey.OnHotKeyPressed = [this](std::uint32_t, std::uint16_t) { HotKeyHotKeyPressed(); };
  PanicHotKey.OnHotKeyPressed = [this](std::uint32_t, std::uint16_t) { PanicHotKeyHotKeyPressed(); };
}

// ---------------------------------------------------------------------------
// The settings, each once: what it is stored as, the control it loads into,
// what Default stores. Load, Apply and Default walk this table.

std::array<TfrmOptions::Setting, 28> TfrmOptions::settingsTable() {
  using F = Form;
  return {{
      {.name = erase::FindHistory, .key = &reg_erase, .form = F::Flag, .byDefault = "0", .box = &cb_find},
      {.name = erase::IECache, .key = &reg_erase, .form = F::Flag, .byDefault = "1", .box = &cb_cache},
      {.name = erase::Cookies, .key = &reg_erase, .form = F::Flag, .byDefault = "1", .box = &cb_cookies},
      {.name = erase::IEHistory, .key = &reg_erase, .form = F::Flag, .byDefault = "1", .box = &cb_history},
      {.name = erase::IEAddressBar, .key = &reg_erase, .form = F::Flag, .byDefault = "1", .box = &cb_address},
      {.name = erase::RecentDocuments, .key = &reg_erase, .form = F::Flag, .byDefault = "1", .box = &cb_recent},
      {.name = erase::TempFolder, .key = &reg_erase, .form = F::Flag, .byDefault = "1", .box = &cb_temp},
      {.name = erase::RecycleBin, .key = &reg_erase, .form = F::Flag, .byDefault = "1", .box = &cb_recycle},
      {.name = erase::RunHistory, .key = &reg_erase, .form = F::Flag, .byDefault = "0", .box = &cb_runhistory},
      {.name = values::ClosedPopups, .key = &reg1, .form = F::Flag, .byDefault = "1", .box = &cb_closedpopup},
      {.name = values::HotKeyPressed, .key = &reg1, .form = F::Flag, .byDefault = "1", .box = &cb_hotkey},
      {.name = values::PopupLimit, .key = &reg1, .form = F::WindowLimit, .byDefault = "0",
       .also = {&reg1, values::LimitEdit, "5"}},
      {.name = values::LeftMouse, .key = &reg1, .form = F::Flag, .byDefault = "0", .box = &cb_mouse},
      {.name = values::PopupSound, .key = &reg1, .form = F::Flag, .byDefault = "0", .box = &cb_sound},
      {.name = values::SoundPath, .key = &reg1, .form = F::Path, .byDefault = "", .box = &cb_sound, .edit = &ed_sound},
      {.name = values::PopupBlocker, .key = &reg1, .form = F::Flag, .byDefault = "1", .box = &cb_popup},
      {.name = values::PopupCounter, .key = &reg1, .form = F::Flag, .byDefault = "1", .box = &cb_counter},
      {.name = values::LastTyped, .key = &reg1, .form = F::Flag, .byDefault = "0", .box = &cb_last},
      {.name = values::Run, .key = &reg1, .form = F::Flag, .byDefault = "1", .box = &cb_run},
      {.name = values::Erase, .key = &reg1, .form = F::Flag, .byDefault = "0", .box = &cb_erase},
      {.name = values::StartPage, .key = &reg1, .form = F::Flag, .byDefault = "1", .box = &cb_startpage},
      {.name = values::EditStart, .key = &reg1, .form = F::GuardedPage, .byDefault = nullptr,
       .box = &cb_startpage, .edit = &edit_startpage, .also = {&Reg3, foreign::StartPage}},
      {.name = values::AutoWeb, .key = &reg1, .form = F::Flag, .byDefault = "0",
       .box = &cb_web, .also = {&Reg4, foreign::AutoSuggest}},
      {.name = values::AutoForms, .key = &reg1, .form = F::Flag, .byDefault = "0",
       .box = &cb_forms, .also = {&Reg3, foreign::UseFormSuggest}},
      {.name = values::DisableUserNameAndPass, .key = &reg1, .form = F::Flag, .byDefault = "0",
       .box = &cb_disable, .also = {&Reg3, foreign::FormSuggestPasswords}},
      {.name = values::HotKey, .key = &reg1, .form = F::Shortcut, .byDefault = DefaultHotKey,
       .field = &ed_hotkey, .manager = &HotKey, .index = &HotKeyIndex},
      {.name = values::PanicHotKey, .key = &reg1, .form = F::Shortcut, .byDefault = DefaultPanicHotKey,
       .field = &ed_panic, .manager = &PanicHotKey, .index = &PanicHotKeyIndex},
      {.name = values::Password, .key = &reg1, .form = F::Text, .byDefault = "", .edit = &edpas},
  }};
}

// A value that cannot be read is reported and then taken as missing, so
// that the load goes on to its end.
std::string TfrmOptions::storedText(TmRegistry& key, const char* name, bool path) {
  std::string text;
  toolkit().dispatch([&] { text = path ? key.ReadPath(name) : key.ReadValue(name); });
  return text;
}

// Each box set to a new state runs its click handler, which switches what
// the box stands for.
void TfrmOptions::loadSetting(const Setting& s) {
  switch (s.form) {
    case Form::Flag: s.box->setChecked(isFlagOn(storedText(*s.key, s.name))); break;
    case Form::WindowLimit:
      switch (PopupLimitOf(storedText(*s.key, s.name))) {
        case PopupLimitChoice::Manual:
          rb_limit_set.setChecked(true);
          se_limit.setValue(LimitEditOf(storedText(*s.also.key, s.also.name)));
          break;
        case PopupLimitChoice::Maximum: rb_limit_max.setChecked(true); break;
        case PopupLimitChoice::Neither: break;
      }
      break;
    case Form::Path:
      if (s.box->checked()) s.edit->setText(storedText(*s.key, s.name, true));
      break;
    case Form::Shortcut:
      s.field->setHotKey(popup::ParseShortcut(storedText(*s.key, s.name), platform_.hotKeys));
      *s.index = s.manager->RegisterKey(s.field->hotKey());
      break;
    case Form::Text: s.edit->setText(storedText(*s.key, s.name)); break;
    case Form::GuardedPage:
      // The guarded page is the one the browser has when the program starts.
      if (s.box->checked()) {
        s.edit->setText(storedText(*s.also.key, s.also.name));
        s.key->AddValue(s.name, s.edit->text());
        s.key->WriteValues();
      }
      links_.startPageTimer.setEnabled(s.box->checked());
      break;
  }
}

void TfrmOptions::FormCreate() {
  RemoveCaption();
  RefreshStats();
  for (const Setting& s : settingsTable()) loadSetting(s);

  showClosedPopupsItems(cb_closedpopup.checked());
  links_.setTrayIcon(chrome::TrayImageNormal);
  links_.setTrayHint("Tarnwick");
  if (ui::MenuItem* item = links_.trayMenu.find("PopupsClosed1"))
    item->setCaption("Closed Popups: " + Reg_Counter.ReadValue(counters::Counter));
}

void TfrmOptions::FormShow() { trayMenu_.pause(); }
void TfrmOptions::FormClose(ui::CloseAction&) { trayMenu_.resume(); }

// ---------------------------------------------------------------------------
// Apply: two refusals, then every setting queued and written together.

void TfrmOptions::queueSetting(const Setting& s) {
  switch (s.form) {
    case Form::Flag:
      s.key->AddValue(s.name, flag(s.box->checked()));
      if (s.also.key) s.also.key->AddValue(s.also.name, suggest(s.box->checked()));
      break;
    case Form::WindowLimit: {
      const bool manual = rb_limit_set.checked();
      s.key->AddValue(s.name, manual ? "0" : "1");
      s.also.key->AddValue(s.also.name, std::to_string(manual ? se_limit.value() : MaxWindowLimit));
      break;
    }
    case Form::Path:
      if (s.box->checked()) s.key->AddPath(s.name, s.edit->text());
      break;
    case Form::Shortcut: s.key->AddValue(s.name, popup::FormatShortcut(s.field->hotKey(), platform_.hotKeys)); break;
    case Form::Text: s.key->AddValue(s.name, s.edit->text()); break;
    case Form::GuardedPage: s.key->AddValue(s.name, s.box->checked() ? s.edit->text() : std::string()); break;
  }
}

void TfrmOptions::btnApplyClick() {
  if (cb_erase.checked() && !cb_history.checked() && !cb_cache.checked() && !cb_cookies.checked() &&
      !cb_address.checked()) {
    popup::ShowNotice(*this, links_.trayMenu, popup::NoticeKind::Warning, NeedEraseCategory);
    return;
  }
  const auto table = settingsTable();
  for (const Setting& s : table)
    if (s.form == Form::Shortcut) *s.index = reRegister(*s.manager, *s.index, s.field->hotKey());
  if (cb_address.checked() && cb_last.checked()) {
    popup::ShowNotice(*this, links_.trayMenu, popup::NoticeKind::Information, AddressBarOrLastTyped);
    return;
  }

  // Written so that a process killed at any point leaves no combination this
  // Apply refuses: a rule's switches turned off go first, then the erase
  // categories turned on, then those turned off, then everything else, the
  // switches turned on among it.
  if (!cb_erase.checked()) reg1.AddValue(values::Erase, "0");
  if (!cb_last.checked()) reg1.AddValue(values::LastTyped, "0");
  reg1.WriteValues();
  for (bool on : {true, false})
    for (const Setting& s : table)
      if (s.key == &reg_erase && s.box->checked() == on) queueSetting(s);
  reg_erase.WriteValues();
  for (const Setting& s : table)
    if (s.key != &reg_erase) queueSetting(s);

  if (cb_last.checked()) links_.takeTypedUrlSnapshot();
  ApplyLockState(links_.trayMenu, lockStateForPassword(edpas.text()));
  storeRunEntry(cb_run.checked());
  links_.eraseTimer1.setEnabled(cb_erase.checked());
  if (!cb_erase.checked()) links_.eraseTimer2.setEnabled(false);
  links_.startPageTimer.setEnabled(cb_startpage.checked());

  reg1.WriteValues();
  Reg3.WriteValues();
  Reg4.WriteValues();
  close();
}

// The entry is the user's own. One of the same name in the local machine's
// run key is an older install's: it would start a second copy, so it goes
// wherever the user may change that key, and stays, unmentioned, where not.
void TfrmOptions::storeRunEntry(bool on) {
  const std::string runKey = normaliseKeyPath(keys::Run);
  if (on) {
    Reg2.AddPath(foreign::RunEntry, platform_.files.programFolder() + RunEntryFile);
    Reg2.WriteValues();
  } else if (auto user = platform_.registry.open(platform::Hive::CurrentUser, runKey)) {
    user->deleteValue(foreign::RunEntry);
  }
  if (auto machine = platform_.registry.open(platform::Hive::LocalMachine, runKey))
    machine->deleteValue(foreign::RunEntry);
}

// ---------------------------------------------------------------------------
// Default: every setting back to its default, stored at once; the window
// stays open. The lock shown in the tray menu waits for the next Apply.

void TfrmOptions::restoreSetting(const Setting& s) {
  switch (s.form) {
    case Form::Flag:
      s.box->setChecked(isFlagOn(s.byDefault));
      queueSetting(s);
      break;
    case Form::WindowLimit:
      (PopupLimitOf(s.byDefault) == PopupLimitChoice::Maximum ? rb_limit_max : rb_limit_set).setChecked(true);
      se_limit.setValue(LimitEditOf(s.also.byDefault));
      queueSetting(s);
      break;
    case Form::Path:  // stored whether or not its box is ticked
      s.edit->setText(s.byDefault);
      s.key->AddPath(s.name, s.byDefault);
      break;
    case Form::Shortcut:
      // The key unregistered is the one the window kept, whatever the field
      // shows after an unapplied change.
      s.manager->UnregisterKeyByIndex(*s.index);
      s.field->setHotKey(popup::ParseShortcut(s.byDefault, platform_.hotKeys));
      queueSetting(s);
      *s.index = s.manager->RegisterKey(s.field->hotKey());
      break;
    case Form::Text:
      s.edit->setText(s.byDefault);
      queueSetting(s);
      break;
    case Form::GuardedPage:  // the field keeps its text
      s.key->AddValue(s.name, storedText(*s.also.key, s.also.name));
      s.edit->setEnabled(s.box->checked());
      break;
  }
}

void TfrmOptions::btnRestoreClick() {
  if (!platform_.dialogs.question(RestoreDefaultsQuestion, QuestionCaption)) return;
  for (const Setting& s : settingsTable()) restoreSetting(s);
  storeRunEntry(cb_run.checked());
  links_.startPageTimer.setEnabled(cb_startpage.checked());

  reg1.WriteValues();
  Reg3.WriteValues();
  Reg4.WriteValues();
  reg_erase.WriteValues();
}

void TfrmOptions::btnCloseClick() { close(); }

void TfrmOptions::btnHelpClick() {
  // In the order of the tabs.
  static constexpr const char* Topics[] = {"Erasetab", "Browsertab", "PopupBlocker", "MiscTab", "StatsTab"};
  const int tab = PC.activePageIndex();
  if (tab >= 0 && tab < static_cast<int>(std::size(Topics))) platform_.help.topic(HelpFile, Topics[tab]);
}

// ---------------------------------------------------------------------------
// The controls that act before Apply.

void TfrmOptions::cb_popupClick() {
  const bool on = cb_popup.checked();
  blockList_.Close_popup.setEnabled(on);
  blockList_.MaxWindows.setEnabled(on);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&cb_counter, &rb_limit_set, &rb_limit_max, &lb_max})
    c->setEnabled(on);
  btn_counter.setEnabled(on && cb_counter.checked());
  se_limit.setEnabled(on && rb_limit_set.checked());
}

void TfrmOptions::cb_counterClick() { btn_counter.setEnabled(cb_counter.checked() && cb_popup.checked()); }

void TfrmOptions::btn_counterClick() {
  if (!platform_.dialogs.question(ResetCounterQuestion, QuestionCaption)) return;
  Reg_Counter.AddValue(counters::Counter, "0");
  Reg_Counter.WriteValues();
  RefreshClosedPopups();
  RefreshStats();
}

void TfrmOptions::cb_closedpopupClick() {
  const bool on = cb_closedpopup.checked();
  showClosedPopupsItems(on);
  links_.setTrayIcon(chrome::TrayImageNormal);
  if (on)
    RefreshClosedPopups();
  else
    links_.setTrayHint("Tarnwick");
}

void TfrmOptions::showClosedPopupsItems(bool shown) {
  for (const char* name : {"PopupsClosed1", "N4"})
    if (ui::MenuItem* item = links_.trayMenu.find(name)) item->visible = shown;
}

void TfrmOptions::cb_soundClick() {
  const bool on = cb_sound.checked();
  for (ui::Control* c : std::initializer_list<ui::Control*>{&ed_sound, &btn_open, &Label2}) c->setEnabled(on);
}

void TfrmOptions::ed_soundChange() { btn_play.setEnabled(!ed_sound.text().empty()); }

void TfrmOptions::btn_openClick() {
  platform::FileDialogOptions open;
  open.title = "Open Wav File...";
  open.filter = "Wav Sound File (*.wav)|*.wav";
  open.defaultExt = "wav";
  if (auto path = platform_.dialogs.openFile(handle(), open)) ed_sound.setText(*path);
}

void TfrmOptions::btn_playClick() {
  if (!ed_sound.text().empty()) platform_.sound.play(ed_sound.text());
}

// Every click switches the guard's timer on; the guard itself acts on the
// stored flag, so clearing the box takes effect at Apply.
void TfrmOptions::cb_startpageClick() {
  edit_startpage.setEnabled(cb_startpage.checked());
  links_.startPageTimer.setEnabled(true);
}

void TfrmOptions::cb_mouseClick() { links_.setLeftPopup(cb_mouse.checked()); }

void TfrmOptions::rb_limitClick() { se_limit.setEnabled(cb_popup.checked() && rb_limit_set.checked()); }

void TfrmOptions::btn_blockClick() { blockList_.showModal(); }
void TfrmOptions::btn_keepClick() { links_.showCookiesToKeep(); }
void TfrmOptions::btn_previewClick() { links_.showErasePreview(); }

popup::BlockerControls TfrmOptions::blockerControls() {
  return popup::BlockerControls{
      .closeSound = [this] { return cb_sound.checked() ? ed_sound.text() : std::string(); },
      .counting = [this] { return cb_counter.checked(); },
      .windowLimit = [this] { return rb_limit_set.checked() ? se_limit.value() : MaxWindowLimit; },
      .refreshClosedPopups = [this] { RefreshClosedPopups(); },
      .refreshStats = [this] { RefreshStats(); },
  };
}

// ---------------------------------------------------------------------------
// Hot keys.

void TfrmOptions::HotKeyHotKeyPressed() {
  const auto active = popup::GetActiveIEWindow(platform_.windows);
  if (!active) return;
  if (!blockList_.blockList.AddBlockEntry(popup::ShortTitle(active->title, blockList_.browserSuffixes.list()))) return;
  RaiseCounter(Reg_Counter, counters::CounterPopHot);
  blockList_.blockList.StoreBlockCount();
  RefreshStats();
  chrome::FlashTray(links_.setTrayIcon, platform_.clock, chrome::TrayImageAdded);
}

void TfrmOptions::PanicHotKeyHotKeyPressed() {
  // Each window by its own handle: windows of one title are each asked once.
  for (platform::WindowId w : popup::EnumIEWindows(platform_.windows)) {
    if (!popup::CloseIEWindow(platform_.windows, w)) continue;
    RaiseCounter(Reg_Counter, counters::CounterPanic);
    RefreshStats();
  }
}

// ---------------------------------------------------------------------------
// Statistics.

std::string TfrmOptions::thousandsSeparator() { return platform_.locale.thousandSeparator(); }

void TfrmOptions::RefreshStats() {
  const std::string sep = thousandsSeparator();
  const std::pair<ui::Label*, const char*> shown[] = {{&counter_popup, counters::Counter},
                                                      {&counter_block, counters::CounterBlock},
                                                      {&counter_panic, counters::CounterPanic},
                                                      {&counter_pophot, counters::CounterPopHot},
                                                      {&Counter_Max, counters::CounterMax}};
  for (auto [label, name] : shown) label->setCaption(FormatThousands(ReadCounter(Reg_Counter, name), sep));
}

void TfrmOptions::RefreshClosedPopups() {
  const std::string text = ClosedPopupsText(ReadCounter(Reg_Counter, counters::Counter), thousandsSeparator());
  if (ui::MenuItem* item = links_.trayMenu.find("PopupsClosed1")) item->setCaption(text);
  blockList_.lb_counter.setCaption(text);
}

}  // namespace settings

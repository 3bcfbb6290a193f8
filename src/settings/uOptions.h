// TfrmOptions: the options window, the one editor of the settings. Created
// at start and kept until the program ends; its creation loads the stored
// settings into its controls, and through their click handlers switches on
// the popup blocker, the start-page guard, the tray-menu options and both
// hot keys. Apply validates and stores, Default restores the defaults,
// Close keeps the unapplied state for the next showing.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include "chrome/TrayMenuPause.h"
#include "chrome/WindowHeader.h"
#include "platform/Platform.h"
#include "popup/HotKeyManager.h"
#include "popup/uBlockList.h"
#include "settings/mRegistry.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/Timer.h"

namespace settings {

// What the options window switches in the rest of the program: the tray
// icon and its menu, and the main window's timers.
struct OptionsLinks {
  ui::Form& mainWindow;  // owns the notices
  ui::PopupMenu& trayMenu;
  std::function<void(int)> setTrayIcon;
  std::function<void(const std::string&)> setTrayHint;
  std::function<void(bool)> setLeftPopup;
  ui::Timer& eraseTimer1;
  ui::Timer& eraseTimer2;
  ui::Timer& startPageTimer;
  // Writes the snapshot of the browser's typed addresses.
  std::function<void()> takeTypedUrlSnapshot;
  // The erase preview and the cookies-to-keep window, opened from the Erase tab.
  std::function<void()> showErasePreview = [] {};
  std::function<void()> showCookiesToKeep = [] {};
};

// "Closed popups:  " and the count with the user's thousands separator.
std::string ClosedPopupsText(std::int64_t count, const std::string& separator);
// A whole number with `separator` between groups of three digits.
std::string FormatThousands(std::int64_t n, const std::string& separator);

class TfrmOptions : public chrome::HeaderForm {
 public:
  TfrmOptions(platform::Platform& platform, ui::Toolkit& toolkit, OptionsLinks links, popup::TfrmBlockList& blockList);
  ~TfrmOptions() override;

  ui::ToolButton& btnMinimize;
  ui::ToolButton& btnHelp;
  ui::PageControl PC;

  ui::TabSheet Tab1;
  ui::GroupBox gbErase;
  ui::Label lbClean;
  ui::CheckBox cb_cache, cb_cookies, cb_history, cb_address, cb_recent, cb_temp, cb_recycle, cb_runhistory, cb_find;
  ui::Button btn_keep, btn_preview;

  ui::TabSheet tab3;
  ui::GroupBox gbBrowser;
  ui::CheckBox cb_startpage;
  ui::Edit edit_startpage;
  ui::CheckBox cb_web, cb_forms, cb_disable, cb_last;

  ui::TabSheet tab4;
  ui::GroupBox gbPopup;
  ui::CheckBox cb_popup, cb_counter;
  ui::Button btn_counter;
  ui::Label lb_max;
  ui::RadioButton rb_limit_set;
  ui::SpinEdit se_limit;
  ui::RadioButton rb_limit_max;
  ui::Label lbHotKey;
  ui::HotKeyEdit ed_hotkey;
  ui::CheckBox cb_hotkey;
  ui::Button btn_block;

  ui::TabSheet tab2;
  ui::GroupBox gbMisc;
  ui::CheckBox cb_run, cb_erase, cb_sound;
  ui::Label Label2;
  ui::Edit ed_sound;
  ui::Button btn_open, btn_play;
  ui::CheckBox cb_closedpopup, cb_mouse;
  ui::Label lbPanic;
  ui::HotKeyEdit ed_panic;
  ui::Label lbPassword;
  ui::Edit edpas;

  ui::TabSheet tab5;
  ui::GroupBox gbStats;
  ui::Label lbPopupStats, lbBlocked, lbBlockList, lbHotKeyStats, lbBossPanic, lbPopHot, lbMiscStats, lbMaxWindows;
  ui::Label counter_popup, counter_block, counter_panic, counter_pophot, Counter_Max;

  ui::Button btnApply, btnRestore, btnClose;

  TmRegistry reg1, reg_erase, Reg_Counter, Reg2, Reg3, Reg4;
  popup::THotKeyManager HotKey, PanicHotKey;
  // The registrations on the two managers; 0 when a key is not registered.
  std::uint16_t HotKeyIndex = 0;
  std::uint16_t PanicHotKeyIndex = 0;

  // Life cycle.
  void FormCreate();
  void FormShow();
  void FormClose(ui::CloseAction& action);

  // Buttons.
  void btnApplyClick();
  void btnRestoreClick();
  void btnCloseClick();
  void btnHelpClick();

  // Controls that act at once.
  void cb_popupClick();
  void cb_counterClick();
  void btn_counterClick();
  void cb_closedpopupClick();
  void cb_soundClick();
  void ed_soundChange();
  void btn_openClick();
  void btn_playClick();
  void cb_startpageClick();
  void cb_mouseClick();
  void rb_limitClick();
  void btn_blockClick();
  void btn_keepClick();
  void btn_previewClick();

  // Hot keys.
  void HotKeyHotKeyPressed();
  void PanicHotKeyHotKeyPressed();

  // Statistics and the closed-popups text.
  void RefreshStats();
  void RefreshClosedPopups();

 protected:
  std::string headerTitle() override { return "  Options  "; }

 private:
  // How a setting's stored text stands for its control.
  enum class Form {
    Flag,         // `box`: "1" ticked, anything else cleared; `also` a browser switch, "no" when ticked
    WindowLimit,  // the two limit choices: "0" manual, "1" the maximum; `also` the manual number
    Path,         // a file path in `edit`, loaded and stored only while `box` is ticked
    Shortcut,     // `field`'s key, registered on `manager` as `index`
    Text,         // `edit`'s text as typed
    GuardedPage,  // `edit` while `box` is ticked, else empty; taken from `also`, the browser's page
  };
  // A second value a setting goes with.
  struct Companion {
    TmRegistry* key = nullptr;
    const char* name = nullptr;
    const char* byDefault = nullptr;
  };
  // One setting of the window: its value, its form and control, and what
  // Default stores (none for the guarded page: the browser's own page).
  struct Setting {
    const char* name;
    TmRegistry* key;
    Form form;
    const char* byDefault;
    ui::CheckBox* box = nullptr;
    ui::Edit* edit = nullptr;
    ui::HotKeyEdit* field = nullptr;
    popup::THotKeyManager* manager = nullptr;
    std::uint16_t* index = nullptr;
    Companion also = {};
  };
  // Every setting, in the order the load sets their controls: a box's click
  // handler may read boxes set before it.
  std::array<Setting, 28> settingsTable();
  void loadSetting(const Setting& s);
  // Queues what Apply stores for the setting.
  void queueSetting(const Setting& s);
  // Sets the control to the default and queues it.
  void restoreSetting(const Setting& s);
  // The stored text, or "" once the error box has said why it cannot be read.
  std::string storedText(TmRegistry& key, const char* name, bool path = false);

  void layout();
  void bindHandlers();
  // The user's run-key entry: written when `on`, deleted otherwise; the
  // machine's entry of an older install is deleted either way, where allowed.
  void storeRunEntry(bool on);
  // The tray menu's closed-popups item and the separator below it.
  void showClosedPopupsItems(bool shown);
  // What the popup blocker reads from the controls and refreshes here.
  popup::BlockerControls blockerControls();
  std::string thousandsSeparator();

  platform::Platform& platform_;
  OptionsLinks links_;
  popup::TfrmBlockList& blockList_;
  chrome::TrayMenuPause trayMenu_;
};

}  // namespace settings

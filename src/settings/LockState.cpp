#include "settings/LockState.h"

namespace settings {

namespace {

constexpr const char* CommandItems[] = {"Eraseall1", "Erase1", "ShowBlockList1", "Configurate1", "Show1",
                                        "CheckLatestVersion1", "Exit2", "Help1", "About1", "N5"};

void setVisible(ui::PopupMenu& menu, const char* name, bool visible) {
  if (ui::MenuItem* item = menu.find(name)) item->visible = visible;
}

}  // namespace

void ApplyLockState(ui::PopupMenu& menu, LockState state) {
  setVisible(menu, "Login1", state == LockState::Locked);
  setVisible(menu, "Logout1", state == LockState::LoggedIn);
  for (const char* name : CommandItems) setVisible(menu, name, state != LockState::Locked);
}

}  // namespace settings

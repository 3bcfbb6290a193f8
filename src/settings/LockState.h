// The password lock as the tray menu shows it: which items are visible in
// the Locked, Logged-in and Unlocked states.
#pragma once
#include "ui/Menu.h"

namespace settings {

enum class LockState { Locked, LoggedIn, Unlocked };

// Shows and hides the lock-dependent items of the tray menu. Items missing
// from the menu are skipped.
void ApplyLockState(ui::PopupMenu& menu, LockState state);

// The state at start: locked exactly when a password is stored.
inline LockState lockStateForPassword(const std::string& password) {
  return password.empty() ? LockState::Unlocked : LockState::Locked;
}

}  // namespace settings

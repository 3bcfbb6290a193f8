// One opening of a popup menu: the real menu built from the model's visible
// items, its owner drawing in the flat style, and the keyboard letters that
// owner-drawn menus do not get from the system.
#pragma once
#include <windows.h>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include "ui/Menu.h"

namespace ui::win32 {

class Win32Toolkit;

class MenuSession {
 public:
  MenuSession(Win32Toolkit& toolkit, ui::PopupMenu& menu);
  ~MenuSession();
  MenuSession(const MenuSession&) = delete;
  MenuSession& operator=(const MenuSession&) = delete;

  // Shows the menu at (x, y) and returns the chosen item, or null.
  ui::MenuItem* track(int x, int y);

  // Whether the menu was closed by F1, asking for its help.
  bool helpAsked() const { return helpAsked_; }

  // Messages the host window receives while the menu is open; false when the
  // message is not the menu's.
  bool onHostMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

 private:
  struct Entry {
    ui::MenuItem* item;
    UINT id;          // command id; 0 for separators and sub-menus
    HMENU submenu;    // null unless the item has sub-items
  };
  HMENU build(const std::vector<std::unique_ptr<ui::MenuItem>>& items);
  Entry* entryOf(ULONG_PTR data) const;
  const std::vector<Entry*>* entriesOf(HMENU menu) const;
  // Positions of the enabled items of `menu` whose letter is `key`.
  std::vector<UINT> matches(HMENU menu, char key) const;
  int focusedPosition(HMENU menu) const;
  bool selectNextMatch(char key);
  void measure(MEASUREITEMSTRUCT& mis);
  void draw(const DRAWITEMSTRUCT& dis);
  LRESULT menuChar(char key, HMENU menu);

  static LRESULT CALLBACK cbtHook(int code, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK filterHook(int code, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK flatMenuProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static void drawFlatFrame(HWND menuWindow);

  Win32Toolkit& toolkit_;
  ui::PopupMenu& menu_;
  HMENU root_ = nullptr;
  std::vector<std::unique_ptr<Entry>> entries_;
  std::map<HMENU, std::vector<Entry*>> positions_;
  std::vector<HMENU> open_;  // the menus shown, innermost last
  HHOOK cbt_ = nullptr;
  HHOOK filter_ = nullptr;
  bool helpAsked_ = false;
};

}  // namespace ui::win32

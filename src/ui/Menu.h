// Popup menus and their items. A caption of "-" makes a separator; "&" marks
// the letter that chooses an item from the keyboard.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class Toolkit;

class MenuItem {
 public:
  MenuItem(std::string name, std::string caption) : name_(std::move(name)), caption_(std::move(caption)) {}

  const std::string& name() const { return name_; }
  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& c) { caption_ = c; }
  bool enabled = true;
  bool visible = true;
  bool isDefault = false;
  bool isSeparator() const { return caption_ == "-"; }
  std::function<void()> OnClick;

  // Adds a sub-item and returns it; the item owns it.
  MenuItem& add(std::string name, std::string caption, std::function<void()> onClick = nullptr);
  const std::vector<std::unique_ptr<MenuItem>>& items() const { return items_; }
  MenuItem* find(const std::string& name);
  // The letter after the "&", upper-cased; 0 when none.
  char accelerator() const;

 private:
  std::string name_;
  std::string caption_;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

// The items a menu shows: the visible ones, without separators at either
// end or next to each other (hiding items must not leave empty sections).
std::vector<MenuItem*> shownItems(const std::vector<std::unique_ptr<MenuItem>>& items);

class PopupMenu {
 public:
  PopupMenu(Toolkit& toolkit, std::string name) : toolkit_(toolkit), root_(std::move(name), "") {}
  MenuItem& add(std::string name, std::string caption, std::function<void()> onClick = nullptr) {
    return root_.add(std::move(name), std::move(caption), std::move(onClick));
  }
  const std::vector<std::unique_ptr<MenuItem>>& items() const { return root_.items(); }
  MenuItem* find(const std::string& name) { return root_.find(name); }
  MenuItem* defaultItem();

  // Whether the menu opens by itself when its owner is clicked.
  bool autoPopup = true;
  // The component the menu was last opened for.
  const void* popupComponent = nullptr;

  void popup(int x, int y);
  // Runs the item's command, as a click on it does.
  void choose(MenuItem& item);
  // F1 in the open menu: OnHelp runs once the menu has closed.
  std::function<void()> OnHelp;
  void help();

 private:
  Toolkit& toolkit_;
  MenuItem root_;
};

}  // namespace ui

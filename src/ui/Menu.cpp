#include "ui/Menu.h"
#include "ui/Graphics.h"
#include "ui/Toolkit.h"

namespace ui {

MenuItem& MenuItem::add(std::string name, std::string caption, std::function<void()> onClick) {
  items_.push_back(std::make_unique<MenuItem>(std::move(name), std::move(caption)));
  items_.back()->OnClick = std::move(onClick);
  return *items_.back();
}

MenuItem* MenuItem::find(const std::string& name) {
  for (auto& item : items_) {
    if (item->name() == name) return item.get();
    if (MenuItem* inner = item->find(name)) return inner;
  }
  return nullptr;
}

char MenuItem::accelerator() const { return captionAccelerator(caption_); }

std::vector<MenuItem*> shownItems(const std::vector<std::unique_ptr<MenuItem>>& items) {
  std::vector<MenuItem*> shown;
  for (const auto& item : items) {
    if (!item->visible) continue;
    if (item->isSeparator() && (shown.empty() || shown.back()->isSeparator())) continue;
    shown.push_back(item.get());
  }
  if (!shown.empty() && shown.back()->isSeparator()) shown.pop_back();
  return shown;
}

MenuItem* PopupMenu::defaultItem() {
  for (auto& item : root_.items())
    if (item->isDefault && item->visible) return item.get();
  return nullptr;
}

void PopupMenu::popup(int x, int y) { toolkit_.popup(*this, x, y); }

void PopupMenu::help() { toolkit_.dispatch(OnHelp); }

void PopupMenu::choose(MenuItem& item) {
  if (!item.enabled || item.isSeparator() || !item.items().empty()) return;
  toolkit_.dispatch(item.OnClick);
}

}  // namespace ui

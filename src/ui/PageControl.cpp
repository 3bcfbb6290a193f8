#include "ui/PageControl.h"
#include <algorithm>

namespace ui {

TabSheet::TabSheet(PageControl& pageControl, std::string name, std::string caption)
    : CaptionControl(&pageControl, std::move(name), std::move(caption)), pageControl_(pageControl) {
  setAlign(Align::Client);
  pageControl_.pageAdded(*this);
}

std::vector<TabSheet*> PageControl::pages() const {
  std::vector<TabSheet*> out;
  for (Control* c : children())
    if (auto* sheet = dynamic_cast<TabSheet*>(c)) out.push_back(sheet);
  return out;
}

int PageControl::activePageIndex() const {
  const auto all = pages();
  const auto it = std::find(all.begin(), all.end(), active_);
  return it == all.end() ? -1 : static_cast<int>(it - all.begin());
}

void PageControl::pageAdded(TabSheet& page) {
  // The first sheet is the active one until another is chosen.
  if (!active_)
    active_ = &page;
  else
    page.setVisible(false);
  changed(Aspect::Lines);
}

void PageControl::tabsChanged() { changed(Aspect::Lines); }

void TabSheet::captionChanged() {
  CaptionControl::captionChanged();
  pageControl_.tabsChanged();
}

void PageControl::setActivePage(TabSheet* page) {
  if (!page || page == active_ || &page->pageControl() != this) return;
  active_ = page;
  for (TabSheet* sheet : pages()) sheet->setVisible(sheet == page);
  changed(Aspect::Value);
  if (OnChange) OnChange();
}

void PageControl::setActivePageIndex(int index) {
  const auto all = pages();
  if (index >= 0 && index < static_cast<int>(all.size())) setActivePage(all[index]);
}

void PageControl::selectNextPage(bool forward) {
  const int n = pageCount();
  if (n == 0) return;
  const int i = activePageIndex();
  setActivePageIndex(((i < 0 ? 0 : i) + (forward ? 1 : n - 1)) % n);
}

Rect PageControl::insideRect() const {
  // The sheets fill the frame below the tabs, inside its edge.
  return Rect{2, tabHeight + 2, width() - 2, height() - 2};
}

}  // namespace ui

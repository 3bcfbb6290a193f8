// A set of tabbed pages: each TabSheet is a child of the PageControl, its
// tab shows the sheet's caption, and only the active sheet is visible.
// Ctrl+Tab and Ctrl+Shift+Tab step through the tabs, as does a click on one.
#pragma once
#include <functional>
#include <vector>
#include "ui/CaptionControl.h"

namespace ui {

class TabSheet;

class PageControl : public Control {
 public:
  using Control::Control;
  // The sheets in tab order.
  std::vector<TabSheet*> pages() const;
  int pageCount() const { return static_cast<int>(pages().size()); }
  TabSheet* activePage() const { return active_; }
  int activePageIndex() const;
  // Shows the sheet and hides the others; OnChange runs when the active
  // sheet changed. Null or a sheet of another control changes nothing.
  void setActivePage(TabSheet* page);
  void setActivePageIndex(int index);
  // The next (or previous) tab, wrapping round; what Ctrl+Tab does.
  void selectNextPage(bool forward = true);
  // Height of the tab row above the sheets; the realisation sets it.
  int tabHeight = 20;
  Rect insideRect() const override;

  std::function<void()> OnChange;

 private:
  friend class TabSheet;
  void pageAdded(TabSheet& page);
  // A sheet's caption, and so its tab, changed.
  void tabsChanged();
  TabSheet* active_ = nullptr;
};

class TabSheet : public CaptionControl {
 public:
  TabSheet(PageControl& pageControl, std::string name, std::string caption);
  PageControl& pageControl() { return pageControl_; }

 protected:
  void captionChanged() override;

 private:
  PageControl& pageControl_;
};

}  // namespace ui

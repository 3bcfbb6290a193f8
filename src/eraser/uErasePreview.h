// TfrmErasePreview: the erase preview window. It lists, for every category
// an erase would run, how many items it would remove and their size, the
// selected category's items, and what it would leave. It counts on a worker
// (the categories at once, each on a thread of its own) that hands each
// category's result to the GUI thread in the erase order, so it opens at
// once and fills in; closing it stops the count. "Erase Now" runs the program's
// erase (refused while the browser runs) and counts again.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>
#include "chrome/TrayMenuPause.h"
#include "chrome/WindowHeader.h"
#include "eraser/ErasePreview.h"
#include "platform/Platform.h"
#include "ui/Button.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/Menu.h"

namespace eraser {

class TfrmErasePreview : public chrome::HeaderForm {
 public:
  // `eraseNow` is the "&Erase" command; `inputs` what the count reads.
  TfrmErasePreview(platform::Platform& platform, ui::Toolkit& toolkit, ui::Form& owner, ui::PopupMenu& trayMenu,
                   std::function<PreviewInputs()> inputs, std::function<void()> eraseNow);
  ~TfrmErasePreview() override;

  ui::ToolButton& btnMinimize;
  ui::ToolButton& btnHelp;
  ui::Label lbCategories, lbItems, lbLeft, lbStatus;
  ui::ListBox lbCategoryList, lbItemList, lbLeftList;
  ui::Button btnEraseNow, btnClose;

  void FormShow();
  void FormClose(ui::CloseAction& action);
  void btnEraseNowClick();
  void btnCloseClick();
  void btnHelpClick();
  void lbCategoryListChange();

  // True while the worker counts.
  bool counting() const { return !done_; }
  // The categories counted so far, in the erase order.
  const std::vector<CategoryPreview>& results() const { return results_; }

 protected:
  std::string headerTitle() override { return "  Erase Preview  "; }

 private:
  void startCount();
  void stopCount();
  // On the GUI thread, from the worker.
  void countingCategory(Category category);
  void addResult(CategoryPreview result);
  void countDone();

  platform::Platform& platform_;
  chrome::TrayMenuPause trayMenu_;
  std::function<PreviewInputs()> inputs_;
  std::function<void()> eraseNow_;
  std::unique_ptr<ErasePreview> preview_;
  std::vector<CategoryPreview> results_;
  bool browserRuns_ = false;
  std::atomic<bool> done_{true};
  std::thread worker_;
};

// The category's name as the menus and the erase key spell it.
std::string CategoryName(Category category);

}  // namespace eraser

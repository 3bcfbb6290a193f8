#include "eraser/uErasePreview.h"
#include <algorithm>
#include "settings/Schema.h"

namespace eraser {

namespace {

constexpr int ClientWidth = 600;
constexpr int ClientHeight = 420;
constexpr const char* BrowserRunsText = "Internet Explorer is open: an erase now would be refused.";

}  // namespace

std::string CategoryName(Category category) {
  for (const CategoryInfo& info : EraseOrder)
    if (info.category == category) return info.flag;
  return {};
}

TfrmErasePreview::TfrmErasePreview(platform::Platform& platform, ui::Toolkit& toolkit, ui::Form& owner,
                                   ui::PopupMenu& trayMenu, std::function<PreviewInputs()> inputs,
                                   std::function<void()> eraseNow)
    : chrome::HeaderForm(toolkit, "frmErasePreview", ClientWidth, ClientHeight),
      btnMinimize(addHeaderButton("btnMinimize", ui::Glyph::Popup, "Hide", [this] { btnCloseClick(); })),
      btnHelp(addHeaderButton("btnHelp", ui::Glyph::Help, "Show Help", [this] { btnHelpClick(); })),
      lbCategories(&Panel1, "lbCategories"),
      lbItems(&Panel1, "lbItems"),
      lbLeft(&Panel1, "lbLeft"),
      lbStatus(&Panel1, "lbStatus"),
      lbCategoryList(&Panel1, "lbCategoryList"),
      lbItemList(&Panel1, "lbItemList"),
      lbLeftList(&Panel1, "lbLeftList"),
      btnEraseNow(&Panel1, "btnEraseNow", "&Erase Now"),
      btnClose(&Panel1, "btnClose", "&Close"),
      platform_(platform),
      trayMenu_(trayMenu),
      inputs_(std::move(inputs)),
      eraseNow_(std::move(eraseNow)) {
  setOwner(&owner);
  setCaption("Erase Preview");
  setBorderStyle(ui::BorderStyle::None);
  setPosition(ui::FormPosition::ScreenCenter);

  constexpr int Left = 12, Right = 290, Top = 42, RightWidth = ClientWidth - Right - 12, LeftWidth = 266;
  lbCategories.setCaption("What an erase would remove now:");
  lbCategories.setBounds(Left, 24, 0, 13);
  lbCategoryList.setBounds(Left, Top, LeftWidth, 160);
  lbLeft.setCaption("What it would leave:");
  lbLeft.setBounds(Left, 212, 0, 13);
  lbLeftList.setBounds(Left, 230, LeftWidth, 110);
  lbLeftList.holdsPaths = true;
  lbItems.setCaption("Items:");
  lbItems.setBounds(Right, 24, 0, 13);
  lbItemList.setBounds(Right, Top, RightWidth, 298);
  lbItemList.holdsPaths = true;
  lbStatus.setAutoSize(false);
  lbStatus.setWordWrap(false);
  lbStatus.setBounds(Left, 350, ClientWidth - 2 * Left, 13);
  btnEraseNow.setBounds(ClientWidth - 184, ClientHeight - 35, 84, 25);
  btnClose.setBounds(ClientWidth - 92, ClientHeight - 35, 80, 25);
  btnClose.Cancel = true;

  lbCategoryList.OnChange = [this] { lbCategoryListChange(); };
  btnEraseNow.OnClick = [this] { btnEraseNowClick(); };
  btnClose.OnClick = [this] { btnCloseClick(); };
  OnCreate = [this] { RemoveCaption(); };
  OnShow = [this] { FormShow(); };
  OnClose = [this](ui::CloseAction& a) { FormClose(a); };
  OnHelp = [this] { btnHelpClick(); };
}

TfrmErasePreview::~TfrmErasePreview() {
  stopCount();
  destroy();
}

void TfrmErasePreview::FormShow() {
  trayMenu_.pause();
  startCount();
}

void TfrmErasePreview::FormClose(ui::CloseAction&) {
  stopCount();
  trayMenu_.resume();
}

void TfrmErasePreview::btnCloseClick() { close(); }
void TfrmErasePreview::btnHelpClick() { platform_.help.topic(settings::HelpFile, "ErasePreview"); }

// The erase itself, then the count again: what is listed then is what the
// erase left.
void TfrmErasePreview::btnEraseNowClick() {
  stopCount();
  if (eraseNow_) eraseNow_();
  startCount();
}

void TfrmErasePreview::startCount() {
  results_.clear();
  lbCategoryList.clear();
  lbItemList.clear();
  lbLeftList.clear();
  preview_ = std::make_unique<ErasePreview>(platform_, toolkit(), inputs_());
  browserRuns_ = preview_->browserRuns();
  if (preview_->inputs().selected.empty()) {
    lbStatus.setCaption("No category is selected on the options window's Erase tab.");
    return;
  }
  lbStatus.setCaption("Counting...");
  done_ = false;
  worker_ = std::thread([this, preview = preview_.get()] {
    preview->countAll(
        [this](Category category) { platform_.gui.sendSync([this, category] { countingCategory(category); }); },
        [this](CategoryPreview result) { platform_.gui.sendSync([this, &result] { addResult(std::move(result)); }); });
    if (!preview->stopped()) platform_.gui.sendSync([this] { countDone(); });
    done_ = true;
  });
}

// The worker hands its results over and waits for each: the GUI thread
// serves those hand-overs until it has ended.
void TfrmErasePreview::stopCount() {
  if (!worker_.joinable()) return;
  preview_->stop();
  platform_.gui.serveUntil([this] { return done_.load(); });
  worker_.join();
}

void TfrmErasePreview::countingCategory(Category category) {
  lbStatus.setCaption("Counting " + CategoryName(category) + "...");
}

void TfrmErasePreview::addResult(CategoryPreview result) {
  std::string row = CategoryName(result.category) + ": " + PreviewSummary(result.count(), result.bytes());
  if (!result.left.empty()) row += ", " + std::to_string(result.left.size()) + " left";
  results_.push_back(std::move(result));
  lbCategoryList.add(row);
  if (lbCategoryList.itemIndex() < 0) lbCategoryList.setItemIndex(0);
}

void TfrmErasePreview::countDone() {
  std::uint64_t items = 0, bytes = 0;
  for (const CategoryPreview& r : results_) {
    items += r.count();
    bytes += r.bytes();
  }
  lbStatus.setCaption(browserRuns_ ? std::string(BrowserRunsText)
                                   : "An erase now would remove " + PreviewSummary(items, bytes) + ".");
}

void TfrmErasePreview::lbCategoryListChange() {
  const int row = lbCategoryList.itemIndex();
  std::vector<std::string> items, left;
  if (row >= 0 && row < static_cast<int>(results_.size())) {
    const CategoryPreview& r = results_[static_cast<std::size_t>(row)];
    for (const PreviewItem& i : r.removed) items.push_back(i.text);
    for (const PreviewItem& i : r.left) left.push_back(i.text);
  }
  lbItemList.setItems(std::move(items));
  lbLeftList.setItems(std::move(left));
}

}  // namespace eraser

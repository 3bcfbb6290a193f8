// The erase preview's count: each selected category's own erase, run over
// services that read the real file system, URL cache, registry and Recycle
// Bin but record what the erase would remove instead of removing it. The
// walks are the erase's own, so what is listed is what the erase removes;
// nothing is ever deleted, written or changed. The real services are read
// from several threads at once: the file system and the registry must
// allow that; the URL cache is asked one call at a time.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "eraser/CookieSites.h"
#include "eraser/EraseEngine.h"
#include "platform/Platform.h"

namespace eraser {

struct PreviewItem {
  std::string text;  // a path, a cache URL, a registry value, or what the Recycle Bin holds
  std::uint64_t bytes = 0;
  std::uint64_t count = 1;  // items it stands for
};

struct CategoryPreview {
  Category category = Category::IEHistory;
  std::vector<PreviewItem> removed;
  // What the erase would leave: kept cookies, files another program holds.
  std::vector<PreviewItem> left;

  std::uint64_t count() const;
  std::uint64_t bytes() const;
};

// "1 item", "12 items, 3.4 KB": the figures of one category.
std::string PreviewSummary(std::uint64_t items, std::uint64_t bytes);
std::string FormatBytes(std::uint64_t bytes);

// What the preview reads once, on the GUI thread, before it counts.
struct PreviewInputs {
  std::vector<Category> selected;  // in the erase order
  std::string tempFolder;
  KeptSites kept;
};

// The categories selected in the erase key, in the erase order.
std::vector<Category> SelectedCategories(platform::Registry& registry);

class ErasePreview {
 public:
  // Built on the GUI thread; count() and countAll() may then run on a worker.
  ErasePreview(platform::Platform& platform, ui::Toolkit& toolkit, PreviewInputs inputs);
  ~ErasePreview();

  const PreviewInputs& inputs() const { return inputs_; }
  // What an erase of `category` would remove now. After stop() it ends soon,
  // with what it had found.
  CategoryPreview count(Category category);
  // Every selected category, counted at once; `counted` gets each result in
  // the erase order, without what an earlier one already lists, and
  // `counting` names each category before its result is awaited. Both are
  // called on the calling thread. Returns when all are done, or soon after
  // stop().
  void countAll(const std::function<void(Category)>& counting,
                const std::function<void(CategoryPreview)>& counted);
  // From any thread.
  void stop() { stopped_ = true; }
  // On the GUI thread: whether a browser window is open, so that an erase
  // now would be refused.
  bool browserRuns();
  bool stopped() const { return stopped_; }

 private:
  struct Shared;
  struct Recorders;
  platform::Platform& platform_;
  ui::Toolkit& toolkit_;
  PreviewInputs inputs_;
  std::atomic<bool> stopped_{false};
  std::unique_ptr<Shared> shared_;
};

}  // namespace eraser

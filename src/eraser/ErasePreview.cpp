#include "eraser/ErasePreview.h"
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include "eraser/InUseProber.h"
#include "settings/Readers.h"
#include "settings/Schema.h"

namespace eraser {

std::uint64_t CategoryPreview::count() const {
  std::uint64_t n = 0;
  for (const PreviewItem& i : removed) n += i.count;
  return n;
}

std::uint64_t CategoryPreview::bytes() const {
  std::uint64_t n = 0;
  for (const PreviewItem& i : removed) n += i.bytes;
  return n;
}

std::string FormatBytes(std::uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  const char* units[] = {"KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes) / 1024;
  std::size_t unit = 0;
  while (value >= 1024 && unit + 1 < std::size(units)) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
  return text;
}

std::string PreviewSummary(std::uint64_t items, std::uint64_t bytes) {
  std::string text = std::to_string(items) + (items == 1 ? " item" : " items");
  if (bytes > 0) text += ", " + FormatBytes(bytes);
  return text;
}

std::vector<Category> SelectedCategories(platform::Registry& registry) {
  settings::TmRegistry eraseKey(registry, settings::TmRootKey::rkHKEY_CURRENT_USER, settings::keys::Erase, false);
  std::vector<Category> selected;
  for (const CategoryInfo& info : EraseOrder)
    if (settings::ReadFlag(eraseKey, info.flag)) selected.push_back(info.category);
  return selected;
}

namespace {

constexpr std::uint32_t NoMoreItems = 259;
constexpr const char* InUse = "   (in use)";
constexpr const char* Kept = "   (kept)";

// Where the recorders put what they see: the category being counted.
struct Sink {
  CategoryPreview& current;
  const std::atomic<bool>& stopped;
  void removed(PreviewItem item) {
    current.removed.push_back(std::move(item));
  }
  void left(std::string text) {
    current.left.push_back({std::move(text)});
  }
};

// The file system as it would be after the erase's deletions so far: what
// was counted as deleted is no longer found; a deletion succeeds unless
// another program holds the file; attributes are never changed.
class RecordingFiles : public platform::Files {
 public:
  RecordingFiles(platform::Files& real, InUseProber& prober, Sink& sink) : real_(real), prober_(prober), sink_(sink) {}

  std::string tempFolder() override { return real_.tempFolder(); }
  std::string programFolder() override { return real_.programFolder(); }
  std::vector<std::string> systemFolders() override { return real_.systemFolders(); }

  std::vector<platform::FileEntry> find(const std::string& pattern) override {
    if (sink_.stopped) return {};
    std::vector<platform::FileEntry> entries = real_.find(pattern);
    const std::size_t slash = pattern.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    std::erase_if(entries, [&](const platform::FileEntry& e) { return removed_.count(folder + e.name) != 0; });
    for (const platform::FileEntry& e : entries) {
      seen_[folder + e.name] = e;
      if (!(e.attributes & platform::AttrDirectory)) prober_.ahead(folder + e.name);
    }
    return entries;
  }
  bool deleteFile(const std::string& path) override {
    if (removed_.count(path)) return true;
    if (prober_.inUse(path)) {
      if (left_.insert(path).second) sink_.left(path + InUse);
      return false;
    }
    const auto it = seen_.find(path);
    if (it != seen_.end() && (it->second.attributes & platform::AttrDirectory)) return false;
    removed_.insert(path);
    sink_.removed({path, it == seen_.end() ? 0 : it->second.size});
    return true;
  }
  bool setAttributes(const std::string&, std::uint32_t) override { return true; }
  // Succeeds for a folder that holds nothing the erase leaves.
  bool removeFolder(const std::string& path) override {
    const auto it = seen_.find(path);
    if (it == seen_.end() || !(it->second.attributes & platform::AttrDirectory) || sink_.stopped) return false;
    for (const platform::FileEntry& e : find(path + "\\*.*"))
      if (e.name != "." && e.name != "..") return false;
    removed_.insert(path);
    sink_.removed({path + "\\"});
    return true;
  }
  bool inUse(const std::string& path) override { return real_.inUse(path); }
  // Every place is looked into: nothing is remembered as empty.
  std::unique_ptr<platform::FolderWatch> watch(const std::string&) override { return nullptr; }
  std::optional<std::string> readFile(const std::string& path) override { return real_.readFile(path); }
  bool writeFile(const std::string&, const std::string&) override { return false; }
  std::unique_ptr<platform::FileWriter> createFile(const std::string&) override { return nullptr; }
  bool moveFile(const std::string&, const std::string&) override { return false; }

  // What the shell's delete takes of a folder: everything in it, then itself.
  void removeTree(const std::string& folder) {
    for (const platform::FileEntry& e : find(folder + "\\*.*")) {
      if (e.name == "." || e.name == "..") continue;
      const std::string path = folder + "\\" + e.name;
      if ((e.attributes & platform::AttrDirectory) && !(e.attributes & platform::AttrReparsePoint))
        removeTree(path);
      else
        deleteFile(path);
    }
    removeFolder(folder);
  }

 private:
  platform::Files& real_;
  InUseProber& prober_;
  Sink& sink_;
  std::unordered_set<std::string> removed_, left_;
  std::unordered_map<std::string, platform::FileEntry> seen_;
};

// The URL cache as the erase walks it; a deletion is counted, not made.
// The walk asks for each entry twice, first for the size it needs; the
// count makes one call, with a buffer that fits any ordinary entry, and
// answers the second question with what that call found. The entries and
// their order are the walk's own. The categories' counts share the real
// cache, which is asked one call at a time; each entry's local file is told
// ahead to the in-use prober, for the walk of the cache folder that follows.
class RecordingUrlCache : public platform::UrlCache {
 public:
  RecordingUrlCache(platform::UrlCache& real, std::mutex& calls, InUseProber& prober, Sink& sink)
      : real_(real), calls_(calls), prober_(prober), sink_(sink) {}

  bool loadLibrary() override {
    return locked([&] { return real_.loadLibrary(); });
  }
  bool hasFunction(const std::string& name) override {
    return locked([&] { return real_.hasFunction(name); });
  }
  platform::CacheSearch findFirstEx(const std::optional<std::string>& pattern, std::uint32_t flags,
                                    std::uint32_t filter, std::uint64_t group, platform::CacheEntryInfo* entry,
                                    std::uint32_t& size) override {
    platform::CacheSearch search = 0;
    const bool ok = oneCall(entry, size, [&](platform::CacheEntryInfo* e, std::uint32_t& n) {
      search = locked([&] { return real_.findFirstEx(pattern, flags, filter, group, e, n); });
      return search != 0;
    });
    return started(ok, search);
  }
  bool findNextEx(platform::CacheSearch search, platform::CacheEntryInfo* entry, std::uint32_t& size) override {
    return !stoppedHere() && oneCall(entry, size, [&](platform::CacheEntryInfo* e, std::uint32_t& n) {
      return locked([&] { return real_.findNextEx(search, e, n); });
    });
  }
  platform::CacheSearch findFirst(const std::optional<std::string>& pattern, platform::CacheEntryInfo* entry,
                                  std::uint32_t& size) override {
    platform::CacheSearch search = 0;
    const bool ok = oneCall(entry, size, [&](platform::CacheEntryInfo* e, std::uint32_t& n) {
      search = locked([&] { return real_.findFirst(pattern, e, n); });
      return search != 0;
    });
    return started(ok, search);
  }
  bool findNext(platform::CacheSearch search, platform::CacheEntryInfo* entry, std::uint32_t& size) override {
    return !stoppedHere() && oneCall(entry, size, [&](platform::CacheEntryInfo* e, std::uint32_t& n) {
      return locked([&] { return real_.findNext(search, e, n); });
    });
  }
  bool close(platform::CacheSearch search) override {
    return locked([&] { return real_.close(search); });
  }
  // An entry's size is its file's, counted with the file where the walks
  // find it, or not at all where another program holds it.
  bool deleteEntry(const std::string& url) override {
    sink_.removed({url, url == last_.sourceUrl && last_.localFile.empty() ? last_.size : 0});
    return true;
  }
  std::uint32_t lastError() override {
    if (stopped_) return NoMoreItems;
    return error_ ? *error_ : realError_;
  }

 private:
  static constexpr std::uint32_t Roomy = 64 * 1024;
  static constexpr std::uint32_t InsufficientBuffer = 122;

  // The search a first call started: the probe's, when the probe found the entry.
  platform::CacheSearch started(bool ok, platform::CacheSearch search) {
    if (ahead_) aheadSearch_ = search;
    if (ok && !search) search = aheadSearch_;
    return ok ? search : 0;
  }
  // `call` is one search call of the real cache. A call without a buffer
  // (the size probe) is made with a roomy one: what it finds is kept, and
  // the probe fails as it would, asking for a buffer; the call with the
  // buffer that follows is answered with what was kept.
  template <typename Call>
  bool oneCall(platform::CacheEntryInfo* entry, std::uint32_t& size, Call call) {
    stopped_ = false;
    error_.reset();
    if (entry && ahead_) {
      *entry = *ahead_;
      ahead_.reset();
      last_ = *entry;
      return true;
    }
    ahead_.reset();
    if (entry) return seen(entry, call(entry, size));
    platform::CacheEntryInfo found;
    std::uint32_t room = Roomy;
    if (!call(&found, room)) {
      size = room;  // what an entry larger than the roomy buffer needs
      return false;
    }
    tellAhead(found);
    ahead_ = std::move(found);
    size = Roomy;
    error_ = InsufficientBuffer;
    return false;
  }
  bool seen(platform::CacheEntryInfo* entry, bool ok) {
    if (ok && entry) {
      last_ = *entry;
      tellAhead(*entry);
    }
    return ok;
  }
  void tellAhead(const platform::CacheEntryInfo& entry) {
    if (!entry.localFile.empty()) prober_.ahead(entry.localFile);
  }
  // One call of the real cache, and the error it left, read before another
  // count's call can change it.
  template <typename Call>
  std::invoke_result_t<Call> locked(Call call) {
    std::lock_guard lock(calls_);
    auto result = call();
    realError_ = real_.lastError();
    return result;
  }
  bool stoppedHere() {
    stopped_ = sink_.stopped;
    return stopped_;
  }

  platform::UrlCache& real_;
  std::mutex& calls_;
  InUseProber& prober_;
  Sink& sink_;
  std::uint32_t realError_ = 0;
  platform::CacheEntryInfo last_;
  std::optional<platform::CacheEntryInfo> ahead_;
  platform::CacheSearch aheadSearch_ = 0;
  std::optional<std::uint32_t> error_;
  bool stopped_ = false;
};

// A key that can be read but not written.
class ReadOnlyKey : public platform::RegistryKey {
 public:
  explicit ReadOnlyKey(std::unique_ptr<platform::RegistryKey> real) : real_(std::move(real)) {}
  platform::RegValue query(const std::string& name) override { return real_->query(name); }
  platform::RegValue queryPath(const std::string& name) override { return real_->queryPath(name); }
  bool setString(const std::string&, const std::string&) override { return false; }
  bool setPath(const std::string&, const std::string&) override { return false; }
  bool deleteValue(const std::string&) override { return false; }
  std::vector<std::string> valueNames() override { return real_->valueNames(); }
  bool empty() override { return real_->empty(); }

 private:
  std::unique_ptr<platform::RegistryKey> real_;
};

// The registry read as it is; a key the erase deletes is counted value by
// value, and nothing is created.
class RecordingRegistry : public platform::Registry {
 public:
  RecordingRegistry(platform::Registry& real, Sink& sink) : real_(real), sink_(sink) {}

  std::unique_ptr<platform::RegistryKey> open(platform::Hive hive, const std::string& path) override {
    auto key = real_.open(hive, path);
    return key ? std::make_unique<ReadOnlyKey>(std::move(key)) : nullptr;
  }
  std::unique_ptr<platform::RegistryKey> create(platform::Hive hive, const std::string& path) override {
    return open(hive, path);
  }
  bool deleteTree(platform::Hive hive, const std::string& path) override {
    auto key = real_.open(hive, path);
    if (!key) return false;
    const std::string keyName = path.substr(path.find_last_of('\\') + 1);
    const std::vector<std::string> names = key->valueNames();
    for (const std::string& name : names) {
      platform::RegValue value = key->query(name);
      std::string text = value.data;
      while (!text.empty() && text.back() == '\0') text.pop_back();
      const bool isText = value.type == platform::RegSz || value.type == platform::RegExpandSz;
      sink_.removed({keyName + "\\" + name + (isText ? " = " + text : std::string()), value.data.size()});
    }
    if (names.empty() && !key->empty()) sink_.removed({keyName + "\\ (sub-keys)"});
    return true;
  }
  std::unique_ptr<platform::KeyWatch> watch(platform::Hive, const std::string&) override { return nullptr; }

 private:
  platform::Registry& real_;
  Sink& sink_;
};

// The shell's wildcard delete, counted over the recording file system; the
// Recycle Bin counted as a whole.
class RecordingShell : public platform::Shell {
 public:
  RecordingShell(platform::Shell& real, RecordingFiles& files, Sink& sink) : real_(real), files_(files), sink_(sink) {}

  void execute(platform::WindowId, const std::string&, const std::string&) override {}
  std::unique_ptr<platform::StartedProgram> start(const std::string&, const std::string&,
                                                  const std::string&) override {
    return nullptr;
  }
  void deleteFiles(const std::string& path) override {
    const std::size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    for (const platform::FileEntry& e : files_.find(path)) {
      if (e.name == "." || e.name == "..") continue;
      if ((e.attributes & platform::AttrDirectory) && !(e.attributes & platform::AttrReparsePoint))
        files_.removeTree(folder + e.name);
      else
        files_.deleteFile(folder + e.name);
    }
  }
  platform::RecycleBinResult emptyRecycleBin(platform::WindowId) override {
    if (const auto content = real_.queryRecycleBin(); content && content->items > 0)
      sink_.removed({"Recycle Bin: " + PreviewSummary(content->items, content->bytes), content->bytes, content->items});
    return platform::RecycleBinResult::Emptied;
  }
  std::optional<platform::RecycleBinContent> queryRecycleBin() override { return real_.queryRecycleBin(); }

 private:
  platform::Shell& real_;
  RecordingFiles& files_;
  Sink& sink_;
};

}  // namespace

// What the counts share: the in-use prober, and the URL cache's calls,
// made one at a time.
struct ErasePreview::Shared {
  Shared(platform::Files& files, const std::atomic<bool>& stopped) : prober(files, stopped) {}
  InUseProber prober;
  std::mutex cacheCalls;
};

// One category's count: its own erase engine over recorders of its own.
struct ErasePreview::Recorders {
  Recorders(platform::Platform& real, ui::Toolkit& toolkit, const PreviewInputs& inputs, Shared& shared,
            CategoryPreview& result, const std::atomic<bool>& stopped)
      : sink{result, stopped},
        files(real.files, shared.prober, sink),
        cache(real.urlCache, shared.cacheCalls, shared.prober, sink),
        registry(real.registry, sink),
        shell(real.shell, files, sink),
        platform{registry,         real.windows,  real.clock, real.timers,  real.dialogs,
                 real.tray,        real.instance, shell,      real.help,    real.gui,
                 real.urlHistory,  files,         real.processes, cache,    real.hotKeys,
                 real.sound,       real.locale,   real.internet,  real.codeSigning},
        ieCache(cache),
        shellFolders(registry, settings::TmRootKey::rkHKEY_CURRENT_USER, settings::keys::ShellFolders, false),
        tempFolder(inputs.tempFolder),
        engine(platform, toolkit, ieCache, shellFolders, tempFolder, noHistory) {
    engine.keepCookiesOf(&inputs.kept);
    engine.OnCookieKept = [&result](const std::string& what) { result.left.push_back({what + Kept}); };
  }

  Sink sink;
  RecordingFiles files;
  RecordingUrlCache cache;
  RecordingRegistry registry;
  RecordingShell shell;
  platform::Platform platform;
  TIECache ieCache;
  settings::TmRegistry shellFolders;
  std::string tempFolder;
  std::unique_ptr<platform::UrlHistory> noHistory;
  EraseEngine engine;
};

ErasePreview::ErasePreview(platform::Platform& platform, ui::Toolkit& toolkit, PreviewInputs inputs)
    : platform_(platform),
      toolkit_(toolkit),
      inputs_(std::move(inputs)),
      shared_(std::make_unique<Shared>(platform.files, stopped_)) {}

ErasePreview::~ErasePreview() = default;

bool ErasePreview::browserRuns() {
  CategoryPreview none;
  return Recorders(platform_, toolkit_, inputs_, *shared_, none, stopped_).engine.browserRuns();
}

CategoryPreview ErasePreview::count(Category category) {
  CategoryPreview result;
  result.category = category;
  Recorders(platform_, toolkit_, inputs_, *shared_, result, stopped_).engine.run(category);
  return result;
}

namespace {

// An item an earlier category listed is not listed again: the erase, which
// runs the categories in order, finds it gone, or has reported it as left.
void dropListedBefore(std::vector<PreviewItem>& items, std::unordered_set<std::string>& before) {
  std::erase_if(items, [&](const PreviewItem& i) { return before.contains(i.text); });
  for (const PreviewItem& i : items) before.insert(i.text);
}

}  // namespace

// Every category is counted at once, each on a thread of its own, so that
// one waiting on a long cache search holds no other up; the results are
// handed over in the erase order, each as soon as it and those before it
// are done.
void ErasePreview::countAll(const std::function<void(Category)>& counting,
                            const std::function<void(CategoryPreview)>& counted) {
  const std::vector<Category>& selected = inputs_.selected;
  std::vector<std::optional<CategoryPreview>> results(selected.size());
  std::mutex mutex;
  std::condition_variable done;
  std::vector<std::thread> workers;
  for (std::size_t i = 0; i < selected.size(); ++i)
    workers.emplace_back([&, i] {
      CategoryPreview result = count(selected[i]);
      {
        std::lock_guard lock(mutex);
        results[i] = std::move(result);
      }
      done.notify_all();
    });
  std::unordered_set<std::string> removedBefore, leftBefore;
  for (std::size_t i = 0; i < selected.size() && !stopped_; ++i) {
    counting(selected[i]);
    std::unique_lock lock(mutex);
    done.wait(lock, [&] { return results[i].has_value(); });
    CategoryPreview result = std::move(*results[i]);
    lock.unlock();
    if (stopped_) break;
    dropListedBefore(result.removed, removedBefore);
    dropListedBefore(result.left, leftBefore);
    counted(std::move(result));
  }
  for (std::thread& w : workers) w.join();
}

}  // namespace eraser

#include "platform/fake/FakeFiles.h"
#include <algorithm>
#include <cctype>

namespace fake {

namespace {

std::string upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
  return s;
}

std::string trimmed(std::string path) {
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

std::string parentOf(const std::string& path) {
  std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Names are UTF-8: the character after the one `n` starts.
const char* nextCharacter(const char* n) {
  do ++n;
  while ((static_cast<unsigned char>(*n) & 0xC0) == 0x80);
  return n;
}

bool match(const char* n, const char* m) {
  if (*m == '\0') return *n == '\0';
  if (*m == '*') return match(n, m + 1) || (*n != '\0' && match(nextCharacter(n), m));
  if (*n == '\0') return false;
  if (*m == '?') return match(nextCharacter(n), m + 1);
  if (std::toupper(static_cast<unsigned char>(*m)) == std::toupper(static_cast<unsigned char>(*n)))
    return match(n + 1, m + 1);
  return false;
}

// Wildcard match of a file name as the platform's search does it: '*' any
// run, '?' one character (of UTF-8 text), letter case ignored (of ASCII
// letters); "*.*" matches every name.
bool matchesMask(const std::string& name, const std::string& mask) {
  if (mask == "*.*" || mask == "*") return true;
  return match(name.c_str(), mask.c_str());
}

}  // namespace

std::string FakeFiles::key(const std::string& path) { return upper(trimmed(path)); }

std::string FakeFiles::resolve(const std::string& path) const {
  // Walk the path from its root, replacing every link met by its target.
  std::string p = trimmed(path);
  std::string done;
  std::size_t start = 0;
  while (start <= p.size()) {
    std::size_t slash = p.find('\\', start);
    std::string part = p.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    done = done.empty() ? part : done + "\\" + part;
    auto it = nodes_.find(upper(done));
    if (it != nodes_.end() && !it->second.linkTarget.empty() && slash != std::string::npos)
      done = trimmed(it->second.linkTarget);
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return done;
}

FakeFiles::Node& FakeFiles::addFolder(const std::string& path, std::uint32_t attributes) {
  std::string p = trimmed(path);
  std::string parent = parentOf(p);
  if (!parent.empty() && !exists(parent)) addFolder(parent);
  touched(p);
  Node& n = nodes_[key(p)];
  n.path = p;
  n.folder = true;
  n.attributes = attributes | platform::AttrDirectory;
  return n;
}

FakeFiles::Node& FakeFiles::addFile(const std::string& path, const std::string& data, std::uint32_t attributes) {
  std::string p = trimmed(path);
  std::string parent = parentOf(p);
  if (!parent.empty() && !exists(parent)) addFolder(parent);
  touched(p);
  Node& n = nodes_[key(p)];
  n.path = p;
  n.folder = false;
  n.data = data;
  n.attributes = attributes;
  return n;
}

FakeFiles::Node& FakeFiles::addLink(const std::string& path, const std::string& target) {
  Node& n = addFolder(path, platform::AttrReparsePoint);
  n.linkTarget = trimmed(target);
  return n;
}

bool FakeFiles::exists(const std::string& path) const { return nodes_.count(upper(resolve(path))) != 0; }

FakeFiles::Node* FakeFiles::node(const std::string& path) {
  auto it = nodes_.find(upper(resolve(path)));
  return it == nodes_.end() ? nullptr : &it->second;
}

std::vector<std::string> FakeFiles::below(const std::string& folder) const {
  const std::string prefix = key(folder) + "\\";
  std::vector<std::string> paths;
  for (auto& [k, n] : nodes_)
    if (k.rfind(prefix, 0) == 0) paths.push_back(n.path);
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::vector<const FakeFiles::Node*> FakeFiles::children(const std::string& folderKey) const {
  std::vector<const Node*> out;
  for (auto& [k, n] : nodes_)
    if (upper(parentOf(n.path)) == folderKey) out.push_back(&n);
  return out;
}

std::vector<platform::FileEntry> FakeFiles::find(const std::string& pattern) {
  const std::string folder = resolve(parentOf(pattern));
  const std::string mask = nameOf(pattern);
  auto it = nodes_.find(upper(folder));
  if (it == nodes_.end() || !it->second.folder) return {};
  std::vector<platform::FileEntry> found;
  // A folder that is not a drive root reports itself and its parent first.
  if (folder.size() > 2 && matchesMask(".", mask)) {
    found.push_back({".", platform::AttrDirectory});
    found.push_back({"..", platform::AttrDirectory});
  }
  for (const Node* n : children(upper(folder)))
    if (matchesMask(nameOf(n->path), mask)) found.push_back({nameOf(n->path), n->attributes, n->folder ? 0 : n->data.size()});
  return found;
}

bool FakeFiles::deleteFile(const std::string& path) {
  Node* n = node(path);
  if (!n || n->folder || n->locked || (n->attributes & platform::AttrReadOnly)) return false;
  log.push_back("delete:" + n->path);
  touched(n->path);
  nodes_.erase(upper(n->path));
  return true;
}

bool FakeFiles::setAttributes(const std::string& path, std::uint32_t attributes) {
  Node* n = node(trimmed(path));
  if (!n) return false;
  log.push_back("attributes:" + n->path + ":" + std::to_string(attributes));
  touched(n->path);
  // The folder mark and the link mark belong to the entry, not to the caller.
  const std::uint32_t kept = n->attributes & (platform::AttrDirectory | platform::AttrReparsePoint);
  n->attributes = (attributes & ~(platform::AttrDirectory | platform::AttrReparsePoint | platform::AttrNormal)) | kept;
  return true;
}

bool FakeFiles::removeFolder(const std::string& path) {
  // A link is removed by its own name; its target stays.
  auto it = nodes_.find(key(path));
  Node* n = it != nodes_.end() && !it->second.linkTarget.empty() ? &it->second : node(path);
  if (!n || !n->folder || (n->attributes & platform::AttrReadOnly)) return false;
  if (n->linkTarget.empty() && !children(upper(n->path)).empty()) return false;
  log.push_back("rmdir:" + n->path);
  touched(n->path);
  nodes_.erase(upper(n->path));
  return true;
}

std::optional<std::string> FakeFiles::readFile(const std::string& path) {
  Node* n = node(path);
  if (!n || n->folder || n->locked) return std::nullopt;
  return n->data;
}

namespace {

class Writer : public platform::FileWriter {
 public:
  Writer(FakeFiles& files, std::string path) : files_(files), path_(std::move(path)) {}
  bool write(const char* data, std::size_t size) override {
    FakeFiles::Node* n = files_.node(path_);
    if (!n) return false;
    n->data.append(data, size);
    files_.touched(n->path);
    return true;
  }

 private:
  FakeFiles& files_;
  std::string path_;
};

}  // namespace

std::unique_ptr<platform::FileWriter> FakeFiles::createFile(const std::string& path) {
  if (!writeFile(path, "")) return nullptr;
  return std::make_unique<Writer>(*this, path);
}

bool FakeFiles::writeFile(const std::string& path, const std::string& data) {
  Node* existing = node(path);
  if (existing && (existing->folder || existing->locked || (existing->attributes & platform::AttrReadOnly)))
    return false;
  const std::string parent = resolve(parentOf(trimmed(path)));
  auto p = nodes_.find(upper(parent));
  if (p == nodes_.end() || !p->second.folder || p->second.writeProtected) return false;
  log.push_back("write:" + trimmed(path));
  if (failWriteAfter) {
    addFile(path, data.substr(0, std::min(*failWriteAfter, data.size())));
    failWriteAfter.reset();
    return false;
  }
  addFile(path, data);
  return true;
}

bool FakeFiles::moveFile(const std::string& from, const std::string& to) {
  Node* src = node(from);
  if (!src || src->folder || src->locked) return false;
  Node* dst = node(to);
  if (dst && (dst->folder || dst->locked || (dst->attributes & platform::AttrReadOnly))) return false;
  const std::string parent = resolve(parentOf(trimmed(to)));
  auto p = nodes_.find(upper(parent));
  if (p == nodes_.end() || p->second.writeProtected) return false;
  Node moved = *src;
  log.push_back("move:" + src->path + ">" + trimmed(to));
  touched(src->path);
  nodes_.erase(upper(src->path));
  moved.path = parent + "\\" + nameOf(trimmed(to));
  nodes_[upper(moved.path)] = moved;
  touched(moved.path);
  return true;
}

namespace {

class FakeWatch : public platform::FolderWatch {
 public:
  FakeWatch(const std::vector<std::string>& changes, std::string folderKey)
      : changes_(changes), folder_(std::move(folderKey)), from_(changes.size()) {}
  bool changed() override {
    for (; from_ < changes_.size(); ++from_) {
      const std::string& k = changes_[from_];
      if (k == folder_ || k.rfind(folder_ + "\\", 0) == 0) changed_ = true;
    }
    return changed_;
  }

 private:
  const std::vector<std::string>& changes_;
  std::string folder_;
  std::size_t from_;
  bool changed_ = false;
};

}  // namespace

std::unique_ptr<platform::FolderWatch> FakeFiles::watch(const std::string& folder) {
  if (!watchable || !node(folder) || !node(folder)->folder) return nullptr;
  return std::make_unique<FakeWatch>(changes_, upper(resolve(folder)));
}

}  // namespace fake

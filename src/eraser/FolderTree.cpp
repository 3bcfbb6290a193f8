// Tree deletion: a file pass, then a depth-first folder pass that skips links.
#include "eraser/FolderTree.h"
#include <cstdint>
#include <vector>

namespace eraser {

namespace {

using platform::AttrArchive;
using platform::AttrDirectory;
using platform::AttrHidden;
using platform::AttrReadOnly;
using platform::AttrReparsePoint;
using platform::AttrSystem;
using platform::AttrVolumeLabel;
using platform::FileEntry;

// What each pass asks its search for: the file pass every kind of file
// (read-only, hidden, system, volume label, archive: 47), the folder pass
// folders only (16).
constexpr std::uint32_t FilePass = AttrReadOnly | AttrHidden | AttrSystem | AttrVolumeLabel | AttrArchive;
constexpr std::uint32_t FolderPass = AttrDirectory;

// The search admits an entry only when it carries none of the special marks
// that the search did not ask for; read-only, archive and unmarked entries
// always pass.
bool admitted(std::uint32_t attributes, std::uint32_t asked) {
  constexpr std::uint32_t special = AttrHidden | AttrSystem | AttrVolumeLabel | AttrDirectory;
  return (attributes & special & ~asked) == 0;
}

std::vector<FileEntry> search(platform::Files& files, const std::string& pattern, std::uint32_t asked) {
  std::vector<FileEntry> entries = files.find(pattern);
  std::erase_if(entries, [asked](const FileEntry& e) { return !admitted(e.attributes, asked); });
  return entries;
}

// Deletes the files matching the mask directly in `folder`.
void deleteFiles(platform::Files& files, const std::string& folder, const std::string& mask,
                 std::vector<std::string>* left) {
  for (const FileEntry& file : search(files, folder + mask, FilePass)) {
    const std::string path = folder + file.name;
    // A read-only file goes at the second attempt, once its marks are
    // cleared; a file link is deleted as itself or left, since its marks may
    // be those of the file it points to.
    if (files.deleteFile(path)) continue;
    if (!(file.attributes & AttrReparsePoint)) {
      files.setAttributes(path, 0);
      if (files.deleteFile(path)) continue;
    }
    if (left) left->push_back(path);
  }
}

// A folder being emptied: its sub-folders, searched once its files went,
// and the next of them to visit.
struct Visit {
  std::string folder;  // with its trailing separator
  std::vector<FileEntry> subFolders;
  std::size_t next = 0;
};

}  // namespace

bool EntersSubFolder(std::uint32_t attributes) {
  return (attributes & AttrDirectory) && admitted(attributes, FolderPass) && !(attributes & AttrReparsePoint);
}

void DeleteFolderTree(platform::Files& files, const std::string& folder, const std::string& mask,
                      bool includeSubFolders, std::vector<std::string>* left) {
  if (folder.empty()) return;
  deleteFiles(files, folder, mask, left);
  if (!includeSubFolders) return;

  // Depth-first, with the folders on the way down held here rather than on
  // the call stack, so that no depth of tree runs the thread out of stack.
  std::vector<Visit> path;
  path.push_back({folder, search(files, folder + "*.*", FolderPass)});
  while (!path.empty()) {
    Visit& at = path.back();
    if (at.next == at.subFolders.size()) {
      const std::string emptied = at.folder.substr(0, at.folder.size() - 1);
      path.pop_back();
      // The folder given stays; one below it fails, and is left so, while it
      // still holds something or is a file.
      if (!path.empty() && !files.removeFolder(emptied) && left) left->push_back(emptied);
      continue;
    }
    const FileEntry& entry = at.subFolders[at.next++];
    if (entry.name == "." || entry.name == "..") continue;
    // A link (junction, symbolic link, mount point) leads out of the tree:
    // it is left alone. Not even removed: Wine's RemoveDirectory on a Unix
    // link to an empty folder removes that folder, not the link.
    if (entry.attributes & AttrReparsePoint) continue;
    const std::string sub = at.folder + entry.name;
    files.setAttributes(sub, AttrDirectory);
    deleteFiles(files, sub + "\\", mask, left);
    path.push_back({sub + "\\", search(files, sub + "\\*.*", FolderPass)});
  }
}

}  // namespace eraser

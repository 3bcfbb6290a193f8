// Empties a folder for the eraser: deletes the files matching a mask and,
// when asked, empties and removes its sub-folders, depth-first. It never
// removes the folder it is given, never enters or removes a link, and reports nothing:
// whatever cannot be deleted stays where it is.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "platform/Files.h"

namespace eraser {

// Whether the tree deletion enters a sub-folder found with these
// attributes: not one that is hidden, a system folder or a link.
bool EntersSubFolder(std::uint32_t attributes);

// `folder` ends with a path separator; an empty folder deletes nothing.
// `left`, when given, is told each file and sub-folder it tried and failed
// to delete, without trailing separators.
void DeleteFolderTree(platform::Files& files, const std::string& folder, const std::string& mask,
                      bool includeSubFolders, std::vector<std::string>* left = nullptr);

}  // namespace eraser

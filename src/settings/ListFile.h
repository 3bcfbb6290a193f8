// The text format of the program's list files beside it (the block list,
// the cookies to keep): one entry a line, in the code page, no header.
#pragma once
#include <string>
#include <vector>

namespace settings {

// The lines of a list file: breaks at CR, LF or CR LF, a final break adds no
// line, reading stops at the first NUL byte; lines are kept as they stand.
std::vector<std::string> ParseListFile(const std::string& data);
// Every entry followed by CR LF; no entries give no bytes.
std::string FormatListFile(const std::vector<std::string>& entries);

}  // namespace settings

// The vendor server's answer to the version question: a plain-text reply
// whose fourth line is the newest version, compared byte by byte with the
// version this installation records.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace update {

// The reply's lines: a line ends at CR, at LF or at a CR LF pair; text after
// the last line end is a last line when it is not empty.
std::vector<std::string> SplitReplyLines(const std::string& reply);
// The fourth line, as it stands (blanks included); none when the reply has
// fewer than four lines.
std::optional<std::string> ServerVersion(const std::string& reply);
// Whether `server` is newer than `installed`: ordinal comparison of the
// bytes as unsigned values, a prefix being the smaller.
bool IsNewerVersion(const std::string& installed, const std::string& server);

}  // namespace update

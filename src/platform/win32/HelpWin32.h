// The HTML help viewer (hhctrl's HtmlHelpA). A relative help file name is
// taken to be next to the program. Failures are not reported.
#pragma once
#include "platform/Help.h"

namespace platform::win32 {

class Help : public platform::Help {
 public:
  void contents(const std::string& file) override;
  void topic(const std::string& file, const std::string& page) override;
  void closeAll() override;
};

// "help.chm" -> "<program folder>help.chm"; absolute names stay as they are.
std::string resolveHelpFile(const std::string& file);
// "Introduction" -> "<file>::/Introduction.htm"; a page with an extension keeps it.
std::string helpTopicUrl(const std::string& resolvedFile, const std::string& page);

}  // namespace platform::win32

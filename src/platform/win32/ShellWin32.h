// ShellExecuteA for opening URLs and documents and starting programs; the
// shell file operation and the Recycle Bin.
#pragma once
#include "platform/Shell.h"

namespace platform::win32 {

class Shell : public platform::Shell {
 public:
  void execute(WindowId owner, const std::string& verb, const std::string& file) override;
  std::unique_ptr<StartedProgram> start(const std::string& verb, const std::string& file,
                                        const std::string& parameters) override;
  void deleteFiles(const std::string& path) override;
  RecycleBinResult emptyRecycleBin(WindowId owner) override;
  std::optional<RecycleBinContent> queryRecycleBin() override;
};

}  // namespace platform::win32

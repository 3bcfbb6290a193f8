#include "platform/win32/HelpWin32.h"
#include <windows.h>
#include <htmlhelp.h>
#include "platform/win32/FilesWin32.h"
#include "platform/win32/WideText.h"

namespace platform::win32 {

namespace {

bool isAbsolute(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return true;  // "C:..."
  return !path.empty() && (path[0] == '\\' || path[0] == '/');
}

}  // namespace

std::string resolveHelpFile(const std::string& file) {
  if (file.empty() || isAbsolute(file)) return file;
  return programFolder() + file;
}

std::string helpTopicUrl(const std::string& resolvedFile, const std::string& page) {
  std::string name = page;
  std::size_t lastSep = name.find_last_of("/\\");
  std::size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || (lastSep != std::string::npos && dot < lastSep)) name += ".htm";
  if (name.empty() || name[0] != '/') name.insert(name.begin(), '/');
  return resolvedFile + "::" + name;
}

void Help::contents(const std::string& file) {
  if (const auto path = widePath(resolveHelpFile(file))) HtmlHelpW(nullptr, path->c_str(), HH_DISPLAY_TOC, 0);
}

void Help::topic(const std::string& file, const std::string& page) {
  if (const auto url = widePath(helpTopicUrl(resolveHelpFile(file), page)))
    HtmlHelpW(nullptr, url->c_str(), HH_DISPLAY_TOPIC, 0);
}

void Help::closeAll() { HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0); }

}  // namespace platform::win32

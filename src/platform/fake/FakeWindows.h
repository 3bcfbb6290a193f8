// Scripted top-level windows for native tests, in Z order (front first).
#pragma once
#include <map>
#include <string>
#include <vector>
#include "platform/Windows.h"

namespace fake {

struct FakeWindow {
  platform::WindowId id = 0;
  std::string cls;
  std::string title;
  std::uint32_t process = 0;
  bool visible = true;
  bool enabled = true;
  bool iconic = false;
  platform::WindowId lastActivePopup = 0;
  platform::WindowId owner = 0;
  std::uint32_t exStyle = 0;
  // Does not answer WM_GETTEXT.
  bool hung = false;
  // Asked to close, it stays.
  bool refusesClose = false;
};

class FakeWindows : public platform::Windows {
 public:
  std::vector<FakeWindow> windows;  // Z order, front first
  std::uint32_t thisProcess = 1;
  platform::WindowId desktopWindow = 0x10010;
  platform::WindowId foregroundWindow = 0;
  // What was asked of which window, in order: "restore:5", "foreground:5"...
  std::vector<std::string> requests;
  // Calls of topLevel and keyedWindows: the enumerations made.
  int enumerations = 0;
  // Questions asked of single windows, by kind: "class", "text", "key",
  // "visible", "process".
  std::map<std::string, int> asked;

  FakeWindow& add(const FakeWindow& w);
  FakeWindow* get(platform::WindowId id);

  using platform::Windows::className;
  using platform::Windows::text;
  std::vector<platform::WindowId> topLevel() override;
  std::string className(platform::WindowId w, std::size_t buffer) override;
  std::optional<std::string> answeredText(platform::WindowId w, std::size_t buffer) override;
  std::vector<KeyedWindow> keyedWindows(const std::string& cls) override;
  std::string titleKey(const std::string& title) override;
  std::string windowKey(platform::WindowId w) override;
  platform::WindowId owner(platform::WindowId w) override;
  platform::WindowId desktop() override { return desktopWindow; }
  std::uint32_t exStyle(platform::WindowId w) override;
  platform::WindowId foreground() override { return foregroundWindow; }
  platform::WindowId find(const std::string& cls, const std::string& title, platform::WindowId after) override;
  platform::WindowId findClass(const std::string& cls) override;
  std::uint32_t processOf(platform::WindowId w) override;
  std::uint32_t currentProcess() override { return thisProcess; }
  bool isIconic(platform::WindowId w) override;
  bool isVisible(platform::WindowId w) override;
  bool isEnabled(platform::WindowId w) override;
  void restore(platform::WindowId w) override { record("restore", w); }
  void setForeground(platform::WindowId w) override { record("foreground", w); }
  platform::WindowId lastActivePopup(platform::WindowId w) override;
  void bringToTop(platform::WindowId w) override { record("top", w); }
  void postNull(platform::WindowId w) override { record("null", w); }
  bool postClose(platform::WindowId w) override;
  // The windows asked to close handle the request: each goes away unless
  // it refuses. Until then they stay, as a posted request is answered later.
  void deliverCloses();

 private:
  std::vector<platform::WindowId> pendingCloses_;
  void record(const char* what, platform::WindowId w) { requests.push_back(std::string(what) + ":" + std::to_string(w)); }
};

}  // namespace fake

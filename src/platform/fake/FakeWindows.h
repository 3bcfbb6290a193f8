// Scripted top-level windows for native tests, in Z order (front first).
#pragma once
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
};

class FakeWindows : public platform::Windows {
 public:
  std::vector<FakeWindow> windows;  // Z order, front first
  std::uint32_t thisProcess = 1;
  platform::WindowId desktopWindow = 0x10010;
  platform::WindowId foregroundWindow = 0;
  // What was asked of which window, in order: "restore:5", "foreground:5"...
  std::vector<std::string> requests;

  FakeWindow& add(const FakeWindow& w);
  FakeWindow* get(platform::WindowId id);

  using platform::Windows::className;
  using platform::Windows::text;
  std::vector<platform::WindowId> topLevel() override;
  std::string className(platform::WindowId w, std::size_t buffer) override;
  std::string text(platform::WindowId w, std::size_t buffer) override;
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
  void postClose(platform::WindowId w) override {
    if (w) record("close", w);
  }

 private:
  void record(const char* what, platform::WindowId w) { requests.push_back(std::string(what) + ":" + std::to_string(w)); }
};

}  // namespace fake

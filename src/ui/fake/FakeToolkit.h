// A window system without windows for native tests: forms get peers that
// record what is asked of them, menus and modal forms are handled by
// scripted "user" callbacks, and the message loop is a script too.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/Toolkit.h"

namespace fake {

class FakeToolkit;

// Frame metrics of the fake window system.
inline constexpr int FakeCaptionHeight = 18;
inline constexpr int FakeBorder = 1;

class FakeFormPeer : public ui::FormPeer {
 public:
  FakeFormPeer(FakeToolkit& tk, ui::Form& form, platform::WindowId id);
  void sync() override;
  void update(const ui::Change& change) override {
    if (change.aspect == ui::Aspect::Bounds) sync();
  }
  void repaint() override { ++repaints; }
  void show() override { shown = true; }
  void hide() override { shown = false; }
  void runModal() override;
  void endModal() override { ++modalEnds; }
  std::uint32_t style() override { return style_; }
  void setStyle(std::uint32_t s) override { style_ = s; }
  int captionHeight() override { return FakeCaptionHeight; }
  void beginDrag() override { ++drags; }
  platform::WindowId handle() override { return id_; }

  bool shown = false;
  int repaints = 0;
  int modalEnds = 0;
  int drags = 0;

 private:
  FakeToolkit& tk_;
  ui::Form& form_;
  platform::WindowId id_;
  std::uint32_t style_;
};

class FakeToolkit : public ui::Toolkit {
 public:
  explicit FakeToolkit(platform::Dialogs& dialogs) : ui::Toolkit(dialogs) {}

  void realise(ui::Form& form) override;
  void popup(ui::PopupMenu& menu, int x, int y) override;
  void setTitle(const std::string& t) override { title_ = t; }
  std::string title() override { return title_; }
  platform::WindowId appWindow() override { return AppWindowId; }
  void hideAppWindow() override { appWindowVisible = false; }
  void restoreAppWindow() override { appWindowVisible = true; }
  void run() override;
  void terminate() override { terminated = true; }
  void processMessages() override { ++messagesProcessed; }
  ui::Form* focusedForm() override { return focused; }

  FakeFormPeer* peerOf(ui::Form& form);

  static constexpr platform::WindowId AppWindowId = 1000;
  std::string title_ = "tarnwick";
  bool appWindowVisible = true;
  bool terminated = false;
  int messagesProcessed = 0;
  ui::Form* focused = nullptr;
  std::vector<std::string> realised;  // form names in order
  struct MenuShown {
    ui::PopupMenu* menu;
    int x, y;
  };
  std::vector<MenuShown> menus;
  // Scripted user: acts on an open menu (e.g. menu.choose(item)).
  std::function<void(ui::PopupMenu&)> onPopup;
  // Scripted user: acts on a modal form; the form is closed afterwards if it
  // is still open.
  std::function<void(ui::Form&)> onModal;
  // Scripted session inside the message loop.
  std::function<void()> onRun;

 private:
  std::vector<std::unique_ptr<FakeFormPeer>> peers_;
  platform::WindowId nextId_ = 2000;
};

}  // namespace fake

// Recording fakes of the simpler platform services for native tests.
#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>
#include "platform/Dialogs.h"
#include "platform/Processes.h"
#include "platform/GuiThread.h"
#include "platform/Help.h"
#include "platform/Instance.h"
#include "platform/Locale.h"
#include "platform/NotifyArea.h"
#include "platform/Shell.h"
#include "platform/UrlHistory.h"

namespace fake {

struct Shown {
  std::string kind;  // "message", "question", "error"
  std::string text;
  std::string caption;
};

class FakeDialogs : public platform::Dialogs {
 public:
  struct FileDialogShown {
    std::string kind;  // "open", "save"
    platform::WindowId owner;
    platform::FileDialogOptions options;
  };
  std::vector<Shown> shown;
  std::deque<bool> answers;  // for questions; No when empty
  std::vector<FileDialogShown> fileDialogs;
  std::deque<std::optional<std::string>> fileAnswers;  // chosen paths; cancelled when empty
  void message(const std::string& t, const std::string& c) override { shown.push_back({"message", t, c}); }
  bool question(const std::string& t, const std::string& c) override;
  void error(const std::string& t, const std::string& c) override { shown.push_back({"error", t, c}); }
  std::optional<std::string> openFile(platform::WindowId owner, const platform::FileDialogOptions& o) override {
    return fileDialog("open", owner, o);
  }
  std::optional<std::string> saveFile(platform::WindowId owner, const platform::FileDialogOptions& o) override {
    return fileDialog("save", owner, o);
  }

 private:
  std::optional<std::string> fileDialog(const char* kind, platform::WindowId owner,
                                        const platform::FileDialogOptions& o);
};

class FakeNotifyArea : public platform::NotifyArea {
 public:
  bool present = false;
  platform::TrayRecord record;
  std::vector<std::string> calls;  // "add", "modify", "remove"
  std::vector<int> icons;          // the image of every add and modify
  platform::Point cursor{100, 200};
  bool cursorReadable = true;

  void add(const platform::TrayRecord& r) override;
  void modify(const platform::TrayRecord& r) override;
  void remove() override;
  void setMouseHandler(std::function<void(platform::TrayMouse)> h) override { handler_ = std::move(h); }
  bool cursorPos(platform::Point& p) override;
  // Sends a mouse message as the notification area does.
  void click(platform::TrayMouse m);

 private:
  std::function<void(platform::TrayMouse)> handler_;
};

class FakeInstance : public platform::Instance {
 public:
  std::set<std::string> taken;  // names held by other processes
  std::vector<std::string> claims;
  bool claim(const std::string& name) override;
};

class FakeShell : public platform::Shell {
 public:
  struct Call {
    platform::WindowId owner;
    std::string verb, file;
  };
  std::vector<Call> calls;
  std::vector<std::string> deleted;  // paths given to deleteFiles, in order
  platform::RecycleBinResult recycleBin = platform::RecycleBinResult::Emptied;
  std::vector<platform::WindowId> recycleBinOwners;  // one per emptying asked for
  void execute(platform::WindowId owner, const std::string& verb, const std::string& file) override {
    calls.push_back({owner, verb, file});
  }
  // Each start is recorded as "verb file parameters"; the program it
  // returns runs while `programsRun` is true.
  std::vector<std::string> started;
  bool programsRun = false;
  std::unique_ptr<platform::StartedProgram> start(const std::string& verb, const std::string& file,
                                                  const std::string& parameters) override;
  void deleteFiles(const std::string& path) override { deleted.push_back(path); }
  platform::RecycleBinResult emptyRecycleBin(platform::WindowId owner) override {
    recycleBinOwners.push_back(owner);
    return recycleBin;
  }
  std::optional<platform::RecycleBinContent> recycleBinContent;
  std::optional<platform::RecycleBinContent> queryRecycleBin() override { return recycleBinContent; }
};

class FakeLocale : public platform::Locale {
 public:
  std::string separator = ",";
  std::string thousandSeparator() override { return separator; }
};

class FakeProcesses : public platform::Processes {
 public:
  std::vector<platform::ProcessRecord> processes;
  bool toolhelp = true;  // false: no snapshot can be taken
  int snapshots = 0;
  std::vector<platform::ProcessRecord> snapshot() override {
    ++snapshots;
    return toolhelp ? processes : std::vector<platform::ProcessRecord>{};
  }
};

class FakeHelp : public platform::Help {
 public:
  std::vector<std::string> requests;  // "contents:help.chm", "topic:help.chm:Introduction", "closeAll"
  void contents(const std::string& f) override { requests.push_back("contents:" + f); }
  void topic(const std::string& f, const std::string& t) override { requests.push_back("topic:" + f + ":" + t); }
  void closeAll() override { requests.push_back("closeAll"); }
};

// Workers queue their calls; the test's loop runs them with pump().
// The thread that builds it is the GUI thread: its own hand-overs run at
// once, as they do under Win32.
class FakeGuiThread : public platform::GuiThread {
 public:
  void sendSync(const std::function<void()>& fn) override;
  // Runs queued calls; returns how many ran.
  int pump();
  void serveUntil(const std::function<bool()>& done) override;

 private:
  struct Pending;
  std::deque<std::shared_ptr<Pending>> queue_;
  std::mutex mutex_;
  std::thread::id gui_ = std::this_thread::get_id();
};

class FakeUrlHistory : public platform::UrlHistory {
 public:
  explicit FakeUrlHistory(int& clears) : clears_(clears) {}
  bool clearHistory() override {
    ++clears_;
    return true;
  }

 private:
  int& clears_;
};

class FakeUrlHistoryFactory : public platform::UrlHistoryFactory {
 public:
  bool available = true;
  int created = 0;
  int clears = 0;
  std::unique_ptr<platform::UrlHistory> create() override;
};

}  // namespace fake

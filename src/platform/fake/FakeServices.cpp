#include "platform/fake/FakeServices.h"
#include <chrono>
#include <thread>
#include <condition_variable>
#include <mutex>

namespace fake {

bool FakeDialogs::question(const std::string& t, const std::string& c) {
  shown.push_back({"question", t, c});
  if (answers.empty()) return false;
  bool a = answers.front();
  answers.pop_front();
  return a;
}

std::optional<std::string> FakeDialogs::fileDialog(const char* kind, platform::WindowId owner,
                                                   const platform::FileDialogOptions& o) {
  fileDialogs.push_back({kind, owner, o});
  if (fileAnswers.empty()) return std::nullopt;
  auto a = fileAnswers.front();
  fileAnswers.pop_front();
  return a;
}

void FakeNotifyArea::add(const platform::TrayRecord& r) {
  calls.push_back("add");
  icons.push_back(r.icon);
  record = r;
  present = true;
}

void FakeNotifyArea::modify(const platform::TrayRecord& r) {
  calls.push_back("modify");
  icons.push_back(r.icon);
  record = r;
}

void FakeNotifyArea::remove() {
  calls.push_back("remove");
  present = false;
}

bool FakeNotifyArea::cursorPos(platform::Point& p) {
  if (!cursorReadable) return false;
  p = cursor;
  return true;
}

void FakeNotifyArea::click(platform::TrayMouse m) {
  if (handler_) handler_(m);
}

bool FakeInstance::claim(const std::string& name) {
  claims.push_back(name);
  return taken.insert(name).second;
}

struct FakeGuiThread::Pending {
  std::function<void()> fn;
  bool done = false;
  std::mutex m;
  std::condition_variable cv;
};

void FakeGuiThread::sendSync(const std::function<void()>& fn) {
  if (std::this_thread::get_id() == gui_) {
    fn();
    return;
  }
  auto p = std::make_shared<Pending>();
  p->fn = fn;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(p);
  }
  std::unique_lock<std::mutex> lock(p->m);
  p->cv.wait(lock, [&] { return p->done; });
}

int FakeGuiThread::pump() {
  int ran = 0;
  for (;;) {
    std::shared_ptr<Pending> p;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (queue_.empty()) return ran;
      p = queue_.front();
      queue_.pop_front();
    }
    p->fn();
    ++ran;
    {
      std::lock_guard<std::mutex> lock(p->m);
      p->done = true;
    }
    p->cv.notify_all();
  }
}

std::unique_ptr<platform::StartedProgram> FakeShell::start(const std::string& verb, const std::string& file,
                                                           const std::string& parameters) {
  struct Program : platform::StartedProgram {
    explicit Program(FakeShell& shell) : shell(shell) {}
    bool running() override { return shell.programsRun; }
    FakeShell& shell;
  };
  started.push_back(verb + " " + file + " " + parameters);
  return std::make_unique<Program>(*this);
}

void FakeGuiThread::serveUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (!pump()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

std::unique_ptr<platform::UrlHistory> FakeUrlHistoryFactory::create() {
  if (!available) return nullptr;
  ++created;
  return std::make_unique<FakeUrlHistory>(clears);
}

}  // namespace fake

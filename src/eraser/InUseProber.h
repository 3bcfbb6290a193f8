// Whether files are held open, asked ahead of need on a few threads of its
// own. Under Wine each question is an open and a close that wait on the
// server, so a walk asking them one after the other spends most of its
// time waiting; told the files a walk will ask about as soon as they are
// known, the prober has most answers ready when the walk gets there.
#pragma once
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>
#include "platform/Files.h"

namespace eraser {

class InUseProber {
 public:
  // `files` must answer inUse() from several threads at once.
  InUseProber(platform::Files& files, const std::atomic<bool>& stopped, int threads = 3);
  ~InUseProber();
  InUseProber(const InUseProber&) = delete;
  InUseProber& operator=(const InUseProber&) = delete;

  // `path` will be asked about; a path already known is not asked twice.
  void ahead(const std::string& path);
  // The answer: one found ahead, or else asked now. Each answer is given
  // once; asked again, the path is probed again.
  bool inUse(const std::string& path);

 private:
  enum class State { Queued, Probing, Answered };
  struct Answer {
    State state = State::Queued;
    bool held = false;
  };
  void serve();

  platform::Files& files_;
  const std::atomic<bool>& stopped_;
  const int threadCount_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::string> queue_;
  std::unordered_map<std::string, Answer> answers_;
  bool quit_ = false;
  std::vector<std::thread> threads_;  // started at the first path told ahead
};

}  // namespace eraser

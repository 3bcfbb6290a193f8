// The URL-history storage COM object (IUrlHistoryStg2 of urlmon).
#pragma once
#include "platform/UrlHistory.h"

struct IUrlHistoryStg2;

namespace platform::win32 {

// The COM object is made at the first use, on the GUI thread: the browser's
// frame library behind it, and the common controls that library loads, are
// not held by a program that never erases the history.
class UrlHistory : public platform::UrlHistory {
 public:
  UrlHistory() = default;
  ~UrlHistory() override;
  UrlHistory(const UrlHistory&) = delete;
  UrlHistory& operator=(const UrlHistory&) = delete;
  bool clearHistory() override;

 private:
  IUrlHistoryStg2* stg_ = nullptr;
  bool tried_ = false;
};

// For the calling thread, which must be the GUI thread: the object enters an
// apartment-threaded COM there when it is first used.
class UrlHistoryFactory : public platform::UrlHistoryFactory {
 public:
  std::unique_ptr<platform::UrlHistory> create() override;
};

}  // namespace platform::win32

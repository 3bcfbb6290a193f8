// The URL-history storage COM object (IUrlHistoryStg2 of urlmon).
#pragma once
#include "platform/UrlHistory.h"

struct IUrlHistoryStg2;

namespace platform::win32 {

class UrlHistory : public platform::UrlHistory {
 public:
  explicit UrlHistory(IUrlHistoryStg2* stg) : stg_(stg) {}
  ~UrlHistory() override;
  UrlHistory(const UrlHistory&) = delete;
  UrlHistory& operator=(const UrlHistory&) = delete;
  bool clearHistory() override;

 private:
  IUrlHistoryStg2* stg_;
};

// Creates the object on the calling thread, which must be the GUI thread:
// it enters an apartment-threaded COM there first.
class UrlHistoryFactory : public platform::UrlHistoryFactory {
 public:
  std::unique_ptr<platform::UrlHistory> create() override;
};

}  // namespace platform::win32

// The system's URL-history storage (the COM object behind IE's history).
#pragma once
#include <memory>

namespace platform {

class UrlHistory {
 public:
  virtual ~UrlHistory() = default;
  virtual bool clearHistory() = 0;
};

class UrlHistoryFactory {
 public:
  virtual ~UrlHistoryFactory() = default;
  // Null when the object cannot be created; the program goes on without it.
  virtual std::unique_ptr<UrlHistory> create() = 0;
};

}  // namespace platform

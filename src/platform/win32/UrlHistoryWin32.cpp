#include "platform/win32/UrlHistoryWin32.h"
#include <windows.h>
#include <urlhist.h>
#include "platform/win32/ComWin32.h"

namespace platform::win32 {

namespace {

const CLSID kUrlHistoryClass = {0x3C374A40, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};
const IID kUrlHistoryStg2 = {0xAFA0DC11, 0xC313, 0x11D0, {0x83, 0x1A, 0x00, 0xC0, 0x4F, 0xD5, 0xAE, 0x38}};

}  // namespace

UrlHistory::~UrlHistory() {
  if (stg_) stg_->Release();
}

bool UrlHistory::clearHistory() {
  if (!tried_) {
    tried_ = true;
    void* object = nullptr;
    if (ensureComApartment() &&
        SUCCEEDED(CoCreateInstance(kUrlHistoryClass, nullptr, CLSCTX_INPROC_SERVER, kUrlHistoryStg2, &object)))
      stg_ = static_cast<IUrlHistoryStg2*>(object);
  }
  return stg_ && SUCCEEDED(stg_->ClearHistory());
}

std::unique_ptr<platform::UrlHistory> UrlHistoryFactory::create() { return std::make_unique<UrlHistory>(); }

}  // namespace platform::win32

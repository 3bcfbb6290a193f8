#include "platform/win32/ComWin32.h"
#include <objbase.h>

namespace platform::win32 {

bool ensureComApartment() {
  // S_FALSE (already entered) still counts as a call to be balanced; since
  // the apartment is kept for the thread's life, nothing is ever balanced.
  // RPC_E_CHANGED_MODE: the thread is in the multithreaded apartment
  // already, where COM works as well.
  thread_local const bool entered = [] {
    HRESULT hr = CoInitialize(nullptr);
    return SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
  }();
  return entered;
}

}  // namespace platform::win32

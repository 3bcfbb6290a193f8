// COM for the calling thread: an apartment-threaded COM, entered once per
// thread and kept until the thread ends.
#pragma once

namespace platform::win32 {

// True when COM is usable on this thread.
bool ensureComApartment();

}  // namespace platform::win32

// Runs the test thread's messages (the workers' hand-overs among them) until
// a condition holds or a time runs out.
#pragma once
#include <windows.h>

template <class Done>
bool serve(Done done, DWORD ms = 10000) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < ms;) {
    if (done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  return done();
}

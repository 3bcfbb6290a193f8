// traytest.exe: the smallest program that lives in the notification area.
// It shows one icon (the system's application icon, tooltip "traytest") and
// waits in its message loop until its hidden window gets WM_CLOSE or it is
// told to end. It is the baseline for the start-up time and memory figures.
//
// Usage: traytest.exe [--tip TEXT] [--quit-after MS]
//   --tip TEXT        tooltip instead of "traytest" (at most 63 characters);
//                     the tests show a known tooltip this way to compare
//                     another program's tooltip with
//   --quit-after MS   end by itself after MS milliseconds
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const UINT kTrayMessage = WM_APP + 1;
const UINT_PTR kQuitTimer = 1;

NOTIFYICONDATAA g_icon{};

LRESULT CALLBACK proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      DestroyWindow(w);
      return 0;
    case WM_TIMER:
      if (wp == kQuitTimer) DestroyWindow(w);
      return 0;
    case WM_DESTROY:
      Shell_NotifyIconA(NIM_DELETE, &g_icon);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  long quitAfter = 0;
  std::string tip = "traytest";
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quit-after") == 0 && i + 1 < argc) {
      quitAfter = std::strtol(argv[++i], nullptr, 10);
    } else if (std::strcmp(argv[i], "--tip") == 0 && i + 1 < argc) {
      tip = argv[++i];
    } else {
      return 2;
    }
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TrayTestWindow";
  if (!RegisterClassA(&wc)) return 1;
  HWND w = CreateWindowExA(0, wc.lpszClassName, "traytest", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                           wc.hInstance, nullptr);
  if (!w) return 1;

  g_icon.cbSize = sizeof g_icon;
  g_icon.hWnd = w;
  g_icon.uID = 1;
  g_icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  g_icon.uCallbackMessage = kTrayMessage;
  g_icon.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  tip.copy(g_icon.szTip, sizeof g_icon.szTip - 1);
  if (!Shell_NotifyIconA(NIM_ADD, &g_icon)) return 1;
  if (quitAfter > 0) SetTimer(w, kQuitTimer, static_cast<UINT>(quitAfter), nullptr);

  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}

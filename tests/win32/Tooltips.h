// The tooltip window a form keeps for the hints of its controls, and the
// text it holds for one of them.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>

inline HWND tooltipOf(HWND form) {
  HWND tip = nullptr;
  for (HWND t = nullptr; (t = FindWindowExA(nullptr, t, TOOLTIPS_CLASSA, nullptr));)
    if (GetWindow(t, GW_OWNER) == form) tip = t;
  return tip;
}

inline std::string tooltipText(HWND tip, HWND form, HWND tool) {
  char text[80] = "";
  TOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = form;
  ti.uId = reinterpret_cast<UINT_PTR>(tool);
  ti.lpszText = text;
  SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
  return text;
}

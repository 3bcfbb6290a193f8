#include "platform/win32/TrayRecordWin32.h"
#include <cstring>
#include "platform/win32/resource.h"

namespace platform::win32 {

namespace {

// A filled disc, for programs built without the tray icon resources.
HICON makeDiscIcon(COLORREF colour) {
  const int size = 16;
  BITMAPV5HEADER bh{};
  bh.bV5Size = sizeof bh;
  bh.bV5Width = size;
  bh.bV5Height = -size;
  bh.bV5Planes = 1;
  bh.bV5BitCount = 32;
  bh.bV5Compression = BI_BITFIELDS;
  bh.bV5RedMask = 0x00FF0000;
  bh.bV5GreenMask = 0x0000FF00;
  bh.bV5BlueMask = 0x000000FF;
  bh.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC dc = GetDC(nullptr);
  HBITMAP colourBitmap =
      CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&bh), DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, dc);
  if (!colourBitmap) return nullptr;
  auto* px = static_cast<DWORD*>(bits);
  const DWORD rgb = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const int dx = 2 * x + 1 - size, dy = 2 * y + 1 - size;
      px[y * size + x] = dx * dx + dy * dy <= (size - 1) * (size - 1) ? 0xFF000000 | rgb : 0;
    }
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = mask;
  info.hbmColor = colourBitmap;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(colourBitmap);
  return icon;
}

}  // namespace

TrayIcons::TrayIcons(const std::array<HICON, kCount>& icons, bool owned) : icons_(icons), owned_(owned) {}

TrayIcons::TrayIcons(TrayIcons&& other) noexcept : icons_(other.icons_), owned_(other.owned_) {
  other.icons_.fill(nullptr);
  other.owned_ = false;
}

TrayIcons::~TrayIcons() {
  if (!owned_) return;
  for (HICON icon : icons_)
    if (icon) DestroyIcon(icon);
}

TrayIcons TrayIcons::load(HINSTANCE module) {
  const int ids[kCount] = {IDI_TRAY0, IDI_TRAY1, IDI_TRAY2};
  std::array<HICON, kCount> icons{};
  bool complete = true;
  for (int i = 0; i < kCount; ++i) {
    icons[i] = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(ids[i]), IMAGE_ICON, 16, 16, 0));
    complete = complete && icons[i];
  }
  if (!complete) {
    const COLORREF colours[kCount] = {RGB(40, 90, 200), RGB(30, 160, 60), RGB(210, 40, 40)};
    for (int i = 0; i < kCount; ++i) {
      if (icons[i]) DestroyIcon(icons[i]);
      icons[i] = makeDiscIcon(colours[i]);
    }
  }
  return TrayIcons(icons, true);
}

HICON TrayIcons::icon(int index) const {
  if (index < 0) index = 0;
  if (index >= kCount) index = kCount - 1;
  return icons_[index];
}

NOTIFYICONDATAA makeTrayRecord(HWND window, const platform::TrayRecord& record, const TrayIcons& icons) {
  NOTIFYICONDATAA nid;
  std::memset(&nid, 0, sizeof nid);
  nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
  nid.hWnd = window;
  nid.uID = kTrayIconId;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = kTrayCallbackMessage;
  nid.hIcon = icons.icon(record.icon);
  // The V1 record's tip field is 64 bytes, though the structure declares more.
  const std::size_t n = record.tip.size() < kTrayTipChars ? record.tip.size() : kTrayTipChars;
  std::memcpy(nid.szTip, record.tip.data(), n);
  nid.szTip[n] = '\0';
  return nid;
}

}  // namespace platform::win32

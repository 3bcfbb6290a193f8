// The tray icon images and the notification-area record built from the
// program's TrayRecord.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <array>
#include "platform/NotifyArea.h"

namespace platform::win32 {

constexpr UINT kTrayCallbackMessage = WM_USER + 0x400;  // 0x800
constexpr UINT kTrayIconId = 1;
constexpr std::size_t kTrayTipChars = 63;  // plus the NUL: the V1 record's 64-byte tip

// The three 16x16 tray icons: 0 normal, 1 and 2 the flash icons.
class TrayIcons {
 public:
  static constexpr int kCount = 3;

  // Icons the caller keeps alive (owned = false) or hands over (owned = true).
  explicit TrayIcons(const std::array<HICON, kCount>& icons, bool owned = false);
  TrayIcons(TrayIcons&& other) noexcept;
  TrayIcons& operator=(TrayIcons&&) = delete;
  TrayIcons(const TrayIcons&) = delete;
  ~TrayIcons();

  // The icons of the module's resources IDI_TRAY0..2; a module without them
  // (a test program) gets generated icons, blue, green and red.
  static TrayIcons load(HINSTANCE module);
  // Index clamped to the set.
  HICON icon(int index) const;

 private:
  std::array<HICON, kCount> icons_;
  bool owned_;
};

// The V1 record (up to and including the 64-byte tip): icon 1 of `window`,
// callback message 0x800, the record's icon, its tip cut to 63 characters.
NOTIFYICONDATAA makeTrayRecord(HWND window, const platform::TrayRecord& record, const TrayIcons& icons);

}  // namespace platform::win32

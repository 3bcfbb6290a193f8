// The colours of the toolkit's own drawing: task panes, flat menus and the
// tool buttons, in a light blue scheme that suits the program's pane panel.
#pragma once
#include <windows.h>

namespace ui::win32::theme {

// Task panes.
inline constexpr COLORREF PaneHeaderLeft = RGB(255, 255, 255);
inline constexpr COLORREF PaneHeaderRight = RGB(198, 211, 247);
inline constexpr COLORREF PaneCaption = RGB(33, 93, 198);
inline constexpr COLORREF PaneCaptionHot = RGB(66, 142, 255);
inline constexpr COLORREF PaneBody = RGB(214, 223, 247);
inline constexpr COLORREF PaneBodyFrame = RGB(255, 255, 255);
inline constexpr COLORREF PaneItem = RGB(33, 93, 198);
inline constexpr COLORREF PaneItemHot = RGB(66, 142, 255);
inline constexpr COLORREF PaneItemDisabled = RGB(118, 128, 150);
inline constexpr COLORREF PaneRule = RGB(160, 178, 220);
inline constexpr COLORREF ChevronRing = RGB(144, 166, 222);
inline constexpr COLORREF ChevronRingHot = RGB(66, 142, 255);

// Flat menus.
inline constexpr COLORREF MenuBack = RGB(255, 255, 255);
inline constexpr COLORREF MenuGutter = RGB(228, 235, 250);
inline constexpr COLORREF MenuFrame = RGB(110, 126, 160);
inline constexpr COLORREF MenuHighlight = RGB(193, 210, 238);
inline constexpr COLORREF MenuHighlightFrame = RGB(49, 106, 197);
inline constexpr COLORREF MenuText = RGB(0, 0, 0);
inline constexpr COLORREF MenuTextDisabled = RGB(141, 141, 141);
inline constexpr COLORREF MenuRule = RGB(176, 186, 206);
inline constexpr int MenuGutterWidth = 22;
inline constexpr int MenuItemHeight = 20;
inline constexpr int MenuSeparatorHeight = 7;

// Tool buttons.
inline constexpr COLORREF ButtonHotFill = RGB(225, 234, 252);
inline constexpr COLORREF ButtonHotFrame = RGB(49, 106, 197);
inline constexpr COLORREF ButtonPressedFill = RGB(152, 181, 226);

}  // namespace ui::win32::theme

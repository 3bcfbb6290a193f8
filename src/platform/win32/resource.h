// Resource IDs of tarnwick.exe, shared by the resource script and the code
// that loads the icons. Kept free of declarations so windres can include it.
#pragma once

#define IDI_MAIN 1     // program icon, 32x32 and 16x16
#define IDI_TRAY0 100  // tray icon, normal
#define IDI_TRAY1 101  // tray flash: an entry was added to the block list
#define IDI_TRAY2 102  // tray flash: a popup was closed

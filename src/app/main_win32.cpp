// tarnwick.exe: builds the real platform and window system, then runs the
// program. The toolkit comes first: its application window must exist before
// the single-instance check reads its title.
#include "app/Program.h"
#include "platform/win32/Win32Platform.h"
#include "ui/win32/Win32Toolkit.h"

int main() {
  // The platform is never destroyed: a cancelled download's thread closes
  // its connection after it has reported and may still be doing so while
  // the program ends; the process's end frees what it holds.
  auto* win32 = new platform::win32::Win32Platform;
  ui::win32::Win32Toolkit toolkit(win32->platform().dialogs);
  return app::RunProgram(win32->platform(), toolkit);
}

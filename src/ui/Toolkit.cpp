#include "ui/Toolkit.h"
#include <exception>

namespace ui {

void Toolkit::dispatch(const std::function<void()>& handler) {
  if (!handler) return;
  try {
    handler();
  } catch (const Abort&) {
  } catch (const std::exception& e) {
    dialogs_.error(e.what(), title());
  } catch (...) {
    // Anything else would otherwise unwind through the window system.
    dialogs_.error("Unknown error", title());
  }
}

}  // namespace ui

#include "platform/win32/SoundWin32.h"
#include <windows.h>
#include <mmsystem.h>
#include "platform/win32/WideText.h"

namespace platform::win32 {

void Sound::play(const std::string& path) {
  if (const auto file = widePath(path)) sndPlaySoundW(file->c_str(), SND_FILENAME | SND_ASYNC);
}

}  // namespace platform::win32

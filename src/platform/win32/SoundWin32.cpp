#include "platform/win32/SoundWin32.h"
#include <windows.h>
#include <mmsystem.h>

namespace platform::win32 {

void Sound::play(const std::string& path) { sndPlaySoundA(path.c_str(), SND_FILENAME | SND_ASYNC); }

}  // namespace platform::win32

// Sounds through winmm's sndPlaySoundA, asynchronous, from a file name.
#pragma once
#include "platform/Sound.h"

namespace platform::win32 {

class Sound : public platform::Sound {
 public:
  void play(const std::string& path) override;
};

}  // namespace platform::win32

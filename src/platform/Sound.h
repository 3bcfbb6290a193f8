// Playing the WAV file the user chose for closed popups.
#pragma once
#include <string>

namespace platform {

class Sound {
 public:
  virtual ~Sound() = default;
  // Starts playing the file (a UTF-8 path) and returns at once; a sound still playing is cut
  // off. A file that cannot be played is not reported.
  virtual void play(const std::string& path) = 0;
};

}  // namespace platform

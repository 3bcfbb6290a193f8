// A sound service that records what it was asked to play.
#pragma once
#include <string>
#include <vector>
#include "platform/Sound.h"

namespace fake {

class FakeSound : public platform::Sound {
 public:
  std::vector<std::string> played;  // paths, in order
  void play(const std::string& path) override { played.push_back(path); }
};

}  // namespace fake

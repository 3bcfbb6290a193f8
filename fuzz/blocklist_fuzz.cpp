// Fuzz target: the block list file. Any bytes read as a list; that list
// written and read again is the same list, and writing it again gives the
// same bytes (every entry ends in CR LF and holds no line break or NUL).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include "settings/ListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  const auto list = settings::ParseListFile(file);
  for (const std::string& entry : list)
    if (entry.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) std::abort();
  const std::string written = settings::FormatListFile(list);
  if (settings::ParseListFile(written) != list) std::abort();
  if (settings::FormatListFile(settings::ParseListFile(written)) != written) std::abort();
  return 0;
}

// Fuzz target: the block list file. Any bytes read as a list; that list
// written and read again is the same list, and writing it again gives the
// same bytes (every entry ends in CR LF and holds no line break or NUL).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include "popup/BlockListStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  const auto list = popup::ParseBlockList(file);
  for (const std::string& entry : list)
    if (entry.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) std::abort();
  const std::string written = popup::FormatBlockList(list);
  if (popup::ParseBlockList(written) != list) std::abort();
  if (popup::FormatBlockList(popup::ParseBlockList(written)) != written) std::abort();
  return 0;
}

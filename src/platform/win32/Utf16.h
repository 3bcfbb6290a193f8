// The program's UTF-8 text and the system's UTF-16, converted both ways
// without loss or not at all. Plain C++, so the native tests run it too.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace platform::win32 {

// Nothing for text that is not well-formed UTF-8 (a stray or missing
// continuation byte, an overlong form, an encoded surrogate, a value above
// U+10FFFF): such a name stands for no file, so none is reached with it.
std::optional<std::u16string> utf8ToUtf16(std::string_view utf8);
// Nothing for UTF-16 with an unpaired surrogate, which UTF-8 cannot hold.
std::optional<std::string> utf16ToUtf8(std::u16string_view utf16);

}  // namespace platform::win32

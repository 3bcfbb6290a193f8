// Where the program's texts meet the wide ("W") calls: paths are UTF-8,
// settings and window texts are in the ANSI code page. A path that is not
// UTF-8 converts to nothing, so no call is made with a name it does not mean.
#pragma once
#include <windows.h>
#include <optional>
#include <string>

namespace platform::win32 {

std::optional<std::wstring> widePath(const std::string& utf8);
// As widePath, with the "\\?\" prefix on a full path long enough to need it,
// so folder trees deeper than MAX_PATH are reached too.
std::optional<std::wstring> longPath(const std::string& utf8);
// Nothing when the name holds an unpaired surrogate.
std::optional<std::string> pathFromWide(const wchar_t* text, std::size_t length);
std::optional<std::string> pathFromWide(const wchar_t* text);

// The code page's conversion, as the "A" calls make it; `approximated` is
// set when a letter had no place in the code page and was replaced.
std::wstring wideFromAnsi(const std::string& ansi);
std::string ansiFromWide(const wchar_t* text, std::size_t length, bool* approximated = nullptr);

}  // namespace platform::win32

#include "platform/win32/WideText.h"
#include <cwchar>
#include "platform/win32/Utf16.h"

namespace platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::optional<std::wstring> widePath(const std::string& utf8) {
  auto utf16 = utf8ToUtf16(utf8);
  if (!utf16) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return std::nullopt;
  }
  return std::wstring(utf16->begin(), utf16->end());
}

namespace {

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// "." and ".." keep their meaning only without the prefix.
bool hasRelativeParts(const std::wstring& path) {
  for (std::size_t at = 0; at < path.size();) {
    std::size_t end = at;
    while (end < path.size() && !isSeparator(path[end])) ++end;
    const std::wstring_view part(path.data() + at, end - at);
    if (part == L"." || part == L"..") return true;
    at = end + 1;
  }
  return false;
}

}  // namespace

std::optional<std::wstring> longPath(const std::string& utf8) {
  auto path = widePath(utf8);
  // Folders are created and searched below MAX_PATH less a file name's room.
  constexpr std::size_t Short = MAX_PATH - 12;
  if (!path || path->size() < Short || hasRelativeParts(*path)) return path;
  const bool drive = path->size() >= 3 && (*path)[1] == L':' && isSeparator((*path)[2]);
  const bool share = isSeparator((*path)[0]) && isSeparator((*path)[1]) && (path->size() < 3 || (*path)[2] != L'?');
  if (!drive && !share) return path;
  for (wchar_t& c : *path)
    if (c == L'/') c = L'\\';
  return share ? L"\\\\?\\UNC" + path->substr(1) : L"\\\\?\\" + *path;
}

std::optional<std::string> pathFromWide(const wchar_t* text, std::size_t length) {
  return utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

std::optional<std::string> pathFromWide(const wchar_t* text) { return pathFromWide(text, std::wcslen(text)); }

std::wstring wideFromAnsi(const std::string& ansi) {
  if (ansi.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(n > 0 ? n : 0, L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return wide;
}

std::string ansiFromWide(const wchar_t* text, std::size_t length, bool* approximated) {
  if (approximated) *approximated = false;
  if (length == 0) return {};
  BOOL replaced = FALSE;
  const int size = static_cast<int>(length);
  // Asked whether the text fits, no letter is quietly swapped for a look-alike.
  const DWORD flags = approximated ? WC_NO_BEST_FIT_CHARS : 0;
  const int n = WideCharToMultiByte(CP_ACP, flags, text, size, nullptr, 0, nullptr, nullptr);
  std::string ansi(n > 0 ? n : 0, '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, flags, text, size, ansi.data(), n, nullptr, approximated ? &replaced : nullptr);
  if (approximated) *approximated = replaced != FALSE;
  return ansi;
}

}  // namespace platform::win32

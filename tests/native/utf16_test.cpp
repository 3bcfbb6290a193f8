// The one conversion at the Win32 edge: the program's UTF-8 paths to the
// system's UTF-16 and back, and the text that must not be converted.
#include <gtest/gtest.h>
#include "platform/win32/Utf16.h"

using platform::win32::utf16ToUtf8;
using platform::win32::utf8ToUtf16;

TEST(Utf16, PathsConvertBothWaysOrNotAtAll) {
  struct Case {
    const char* what;
    std::string utf8;
    std::u16string utf16;
  };
  const Case good[] = {
      {"ASCII", "C:\\Temp\\a.txt", u"C:\\Temp\\a.txt"},
      {"letters of code page 1252", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC.txt", u"\u00E9t\u00E9 \u20AC.txt"},
      {"Cyrillic", "\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0", u"\u041F\u0430\u043F\u043A\u0430"},
      {"Chinese", "\xE4\xBD\xA0\xE5\xA5\xBD", u"\u4F60\u597D"},
      {"a surrogate pair (emoji)", "x\xF0\x9F\x98\x80y", u"x\xD83D\xDE00y"},
      {"the last code point", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
      {"empty", "", u""},
  };
  for (const Case& c : good) {
    EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16) << c.what;
    EXPECT_EQ(utf16ToUtf8(c.utf16), c.utf8) << c.what;
  }

  // Not UTF-8: no path at all, so no file is reached by a name it does not mean.
  const std::pair<const char*, std::string> bad[] = {
      {"an ANSI byte (1252 e acute)", "caf\xE9.txt"},
      {"a stray continuation byte", "a\x80"},
      {"a sequence cut short", "\xD0"},
      {"a lead byte followed by ASCII", "\xE4\xBD" "a"},
      {"an overlong slash", "C:\xC0\xAF" "x"},
      {"an encoded surrogate", "\xED\xA0\x80"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80"},
      {"a byte no sequence starts with", "\xFF"},
  };
  for (const auto& [what, text] : bad) EXPECT_EQ(utf8ToUtf16(text), std::nullopt) << what;

  // UTF-16 that UTF-8 cannot hold: a name the file system has, but no path can name.
  EXPECT_EQ(utf16ToUtf8(u"a\xD83D"), std::nullopt) << "a high surrogate at the end";
  EXPECT_EQ(utf16ToUtf8(u"\xDE00z"), std::nullopt) << "a low surrogate alone";
  EXPECT_EQ(utf16ToUtf8(u"\xD83Dz"), std::nullopt) << "a high surrogate before a letter";
}

// Every registry key and value name the program uses, defined once.
#pragma once
#include "TarnwickVersion.h"

namespace settings {

namespace keys {
inline constexpr const char* Main = "\\software\\Tarnwick\\";
inline constexpr const char* Erase = "\\software\\Tarnwick\\erase";
inline constexpr const char* Counter = "\\software\\Tarnwick\\counter";
inline constexpr const char* IEMain = "\\software\\microsoft\\internet explorer\\main";
inline constexpr const char* AutoComplete = "\\software\\microsoft\\windows\\currentversion\\explorer\\autocomplete";
// Start with Windows: the current user's, which needs no administrator; the
// same path under the local machine is where older installs left the entry.
inline constexpr const char* Run = "\\software\\microsoft\\windows\\currentversion\\run";
inline constexpr const char* TypedUrls = "software\\microsoft\\internet explorer\\typedURLs";
inline constexpr const char* ShellFolders = "\\software\\microsoft\\windows\\currentversion\\explorer\\shell folders";
}  // namespace keys

// Main key.
namespace values {
inline constexpr const char* Erase = "Erase";
inline constexpr const char* PopupBlocker = "Popup Blocker";
inline constexpr const char* PopupCounter = "Popup Counter";
inline constexpr const char* ClosedPopups = "Closed Popups";
inline constexpr const char* HotKeyPressed = "Hot Key Pressed";
inline constexpr const char* LeftMouse = "Left Mouse";
inline constexpr const char* PopupLimit = "Popup Limit";
inline constexpr const char* LimitEdit = "Limit Edit";
inline constexpr const char* PopupSound = "Popup Sound";
inline constexpr const char* SoundPath = "Sound Path";
inline constexpr const char* LastTyped = "Last Typed";
inline constexpr const char* HotKey = "Hot Key";
inline constexpr const char* PanicHotKey = "Panic Hot Key";
inline constexpr const char* Password = "Password";
inline constexpr const char* PassTemp = "Pass Temp";
inline constexpr const char* Run = "Run";
inline constexpr const char* StartPage = "Start Page";
inline constexpr const char* EditStart = "Edit start";
inline constexpr const char* AutoWeb = "Auto Web";
inline constexpr const char* AutoForms = "Auto Forms";
inline constexpr const char* DisableUserNameAndPass = "Disable user name and pass";
inline constexpr const char* Version = "Version";
}  // namespace values

// Erase key: one flag per category.
namespace erase {
inline constexpr const char* IECache = "IE Cache";
inline constexpr const char* Cookies = "Cookies";
inline constexpr const char* IEHistory = "IE History";
inline constexpr const char* IEAddressBar = "IE Address Bar";
inline constexpr const char* RecentDocuments = "Recent Documents";
inline constexpr const char* TempFolder = "Temp Folder";
inline constexpr const char* RecycleBin = "Recycle Bin";
inline constexpr const char* RunHistory = "Run History";
inline constexpr const char* FindHistory = "Find History";
}  // namespace erase

// Counter key.
namespace counters {
inline constexpr const char* Counter = "Counter";
inline constexpr const char* CounterBlock = "Counter Block";
inline constexpr const char* CounterPanic = "Counter Panic";
inline constexpr const char* CounterPopHot = "Counter PopHot";
inline constexpr const char* CounterMax = "Counter Max";
}  // namespace counters

// Values in keys of Internet Explorer and Windows.
namespace foreign {
inline constexpr const char* StartPage = "Start Page";            // IE main key
inline constexpr const char* UseFormSuggest = "Use FormSuggest";  // IE main key
inline constexpr const char* FormSuggestPasswords = "FormSuggest Passwords";  // IE main key
inline constexpr const char* AutoSuggest = "AutoSuggest";         // auto-complete key
inline constexpr const char* RunEntry = "Tarnwick";               // run key
}  // namespace foreign

inline constexpr const char* ProgramVersion = TARNWICK_VERSION;  // a build setting, 3.4.1 unless set
// The program's help file, found beside it.
inline constexpr const char* HelpFile = "help.chm";
// The caption of the program's Yes/No questions.
inline constexpr const char* QuestionCaption = "Confirm";

}  // namespace settings

#include "platform/win32/ShellWin32.h"
#include <windows.h>
#include <shellapi.h>
#include "platform/win32/ComWin32.h"
#include "platform/win32/WideText.h"

namespace platform::win32 {

void Shell::execute(WindowId owner, const std::string& verb, const std::string& file) {
  // Shell extensions that ShellExecute may run expect COM on the thread.
  ensureComApartment();
  const auto target = widePath(file);
  if (!target) return;
  const std::wstring action = wideFromAnsi(verb);
  ShellExecuteW(reinterpret_cast<HWND>(owner), verb.empty() ? nullptr : action.c_str(), target->c_str(), nullptr,
                nullptr, SW_SHOWNORMAL);
}

namespace {

class Process : public StartedProgram {
 public:
  explicit Process(HANDLE process) : process_(process) {}
  ~Process() override { CloseHandle(process_); }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  bool running() override { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

 private:
  HANDLE process_;
};

}  // namespace

std::unique_ptr<StartedProgram> Shell::start(const std::string& verb, const std::string& file,
                                             const std::string& parameters) {
  ensureComApartment();
  const auto program = widePath(file), arguments = widePath(parameters);
  if (!program || !arguments) return nullptr;
  const std::wstring action = wideFromAnsi(verb);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = verb.empty() ? nullptr : action.c_str();
  info.lpFile = program->c_str();
  info.lpParameters = parameters.empty() ? nullptr : arguments->c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info) || !info.hProcess) return nullptr;
  return std::make_unique<Process>(info.hProcess);
}

void Shell::deleteFiles(const std::string& path) {
  if (path.empty()) return;
  auto from = widePath(path);
  if (!from) return;
  from->push_back(L'\0');  // a one-item list ends in two NULs
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from->c_str();
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
  SHFileOperationW(&op);
}

RecycleBinResult Shell::emptyRecycleBin(WindowId owner) {
  HMODULE shell = LoadLibraryA("Shell32.dll");
  if (!shell) return RecycleBinResult::NoLibrary;
  using EmptyFn = HRESULT(WINAPI*)(HWND, LPCSTR, DWORD);
  auto empty = reinterpret_cast<EmptyFn>(reinterpret_cast<void*>(GetProcAddress(shell, "SHEmptyRecycleBinA")));
  RecycleBinResult result = RecycleBinResult::NoFunction;
  if (empty) {
    empty(reinterpret_cast<HWND>(owner), nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
    result = RecycleBinResult::Emptied;
  }
  FreeLibrary(shell);
  return result;
}

std::optional<RecycleBinContent> Shell::queryRecycleBin() {
  SHQUERYRBINFO info{};
  info.cbSize = sizeof info;
  if (FAILED(SHQueryRecycleBinW(nullptr, &info))) return std::nullopt;
  return RecycleBinContent{static_cast<std::uint64_t>(info.i64NumItems), static_cast<std::uint64_t>(info.i64Size)};
}

}  // namespace platform::win32

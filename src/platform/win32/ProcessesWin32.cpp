#include "platform/win32/ProcessesWin32.h"
#include <windows.h>
#include <tlhelp32.h>

namespace platform::win32 {

namespace {
using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
using WalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
}  // namespace

Processes::Processes() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return;
  create_ = reinterpret_cast<void*>(GetProcAddress(kernel, "CreateToolhelp32Snapshot"));
  first_ = reinterpret_cast<void*>(GetProcAddress(kernel, "Process32First"));
  next_ = reinterpret_cast<void*>(GetProcAddress(kernel, "Process32Next"));
}

std::vector<ProcessRecord> Processes::snapshot() {
  std::vector<ProcessRecord> records;
  if (!create_ || !first_ || !next_) return records;
  auto create = reinterpret_cast<CreateSnapshotFn>(create_);
  auto first = reinterpret_cast<WalkFn>(first_);
  auto next = reinterpret_cast<WalkFn>(next_);
  HANDLE snap = create(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return records;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;  // the ANSI record of this platform
  for (BOOL more = first(snap, &entry); more; more = next(snap, &entry))
    records.push_back({entry.th32ProcessID, entry.szExeFile});
  CloseHandle(snap);
  return records;
}

}  // namespace platform::win32

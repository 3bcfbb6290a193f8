// The erase preview of a large profile: 10,000 temp files and 8,000 cache
// entries counted as the preview window counts them, on a worker that hands
// each category's result to the GUI thread, while the GUI thread runs its
// message loop with a 10 ms timer; the longest gap between two of its ticks
// says how long the program went without answering. The bare listing of
// the same files and entries (one directory search per folder, one cache
// search) is the baseline; its cache search is printed on its own.
#include <windows.h>
#include <wininet.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>
#include "../tests/helpers/CacheEntries.h"
#include "Bench.h"
#include "eraser/ErasePreview.h"
#include "platform/win32/Win32Platform.h"
#include "ui/win32/Win32Toolkit.h"

namespace bench {

namespace {

constexpr int Folders = 100, FilesPerFolder = 100, CacheEntries = 8000;
const std::wstring BenchFolder = L"tarnwick-preview-bench";

std::wstring wideTemp() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return temp;
}

bool makeTree(const std::wstring& root) {
  CreateDirectoryW(root.c_str(), nullptr);
  for (int f = 0; f < Folders; ++f) {
    const std::wstring folder = root + L"\\d" + std::to_wstring(f);
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < FilesPerFolder; ++i) {
      HANDLE h = CreateFileW((folder + L"\\f" + std::to_wstring(i) + L".tmp").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h == INVALID_HANDLE_VALUE) return false;
      DWORD written = 0;
      WriteFile(h, "bench", 5, &written, nullptr);
      CloseHandle(h);
    }
  }
  return true;
}

void removeTree(const std::wstring& root) {
  for (int f = 0; f < Folders; ++f) {
    const std::wstring folder = root + L"\\d" + std::to_wstring(f);
    for (int i = 0; i < FilesPerFolder; ++i) DeleteFileW((folder + L"\\f" + std::to_wstring(i) + L".tmp").c_str());
    RemoveDirectoryW(folder.c_str());
  }
  RemoveDirectoryW(root.c_str());
}

std::string entryUrl(int i) { return "http://bench.test/page" + std::to_string(i) + ".htm"; }

// Every file below `folder`, one directory search per folder.
std::size_t listTree(const std::wstring& folder) {
  std::size_t n = 0;
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    ++n;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) n += listTree(folder + L"\\" + name);
  } while (FindNextFileW(h, &data));
  FindClose(h);
  return n;
}

std::size_t listCache() {
  std::size_t n = 0;
  std::vector<char> buffer(64 * 1024);
  DWORD size = static_cast<DWORD>(buffer.size());
  auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
  HANDLE h = FindFirstUrlCacheEntryA("", info, &size);
  if (!h) return 0;
  do {
    ++n;
    size = static_cast<DWORD>(buffer.size());
  } while (FindNextUrlCacheEntryA(h, info, &size));
  FindCloseUrlCache(h);
  return n;
}

struct Run {
  double ms = 0;
  double longestGapMs = 0;
  std::uint64_t items = 0;
};

// One preview as its window runs it: the worker counts and hands over;
// the GUI thread serves the hand-overs and its timer meanwhile.
Run preview(platform::Platform& p, ui::Toolkit& toolkit, const std::string& temp) {
  Run run;
  eraser::ErasePreview counter(p, toolkit, {{eraser::Category::IECache, eraser::Category::TempFolder}, temp, {}});
  std::atomic<bool> done{false};
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, nullptr);
  LARGE_INTEGER freq, start, last, now;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&start);
  last = start;
  auto ms = [&](LARGE_INTEGER a, LARGE_INTEGER b) {
    return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(freq.QuadPart);
  };
  const DWORD guiThread = GetCurrentThreadId();
  std::thread worker([&] {
    counter.countAll([](eraser::Category) {},
                     [&](eraser::CategoryPreview result) { p.gui.sendSync([&] { run.items += result.count(); }); });
    done = true;
    PostThreadMessageW(guiThread, WM_NULL, 0, 0);
  });
  MSG msg;
  while (!done) {
    if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT) == WAIT_TIMEOUT) continue;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_TIMER && msg.wParam == timer) {
        QueryPerformanceCounter(&now);
        run.longestGapMs = std::max(run.longestGapMs, ms(last, now));
        last = now;
      }
      DispatchMessageW(&msg);
    }
  }
  worker.join();
  QueryPerformanceCounter(&now);
  run.ms = ms(start, now);
  KillTimer(nullptr, timer);
  return run;
}

}  // namespace

bool erasePreview(int rounds) {
  platform::win32::Win32Platform win32;
  platform::Platform& p = win32.platform();
  ui::win32::Win32Toolkit toolkit(p.dialogs);
  const std::wstring root = wideTemp() + BenchFolder;
  if (!makeTree(root)) {
    std::printf("erase preview: cannot make the temp files\n");
    return false;
  }
  for (int i = 0; i < CacheEntries; ++i)
    if (!cache_entries::commit(entryUrl(i), NORMAL_CACHE_ENTRY)) {
      std::printf("erase preview: cannot commit cache entry %d (error %lu)\n", i, GetLastError());
      return false;
    }
  const std::string temp = p.files.tempFolder();
  std::vector<double> counted, bare, bareCache, gaps;
  std::uint64_t items = 0;
  std::size_t listed = 0;
  for (int i = 0; i < rounds; ++i) {
    const Run r = preview(p, toolkit, temp);
    counted.push_back(r.ms);
    gaps.push_back(r.longestGapMs);
    items = r.items;
    std::size_t entries = 0;
    bareCache.push_back(timeMs([&] { entries = listCache(); }));
    bare.push_back(bareCache.back() + timeMs([&] { listed = listTree(wideTemp().substr(0, wideTemp().size() - 1)); }));
    listed += entries;
  }
  const double a = median(counted), b = median(bare);
  std::printf("Erase preview of %d temp files in %d folders and %d cache entries (Temp Folder and IE Cache),\n"
              "counted on a worker as the preview window counts; median of %d\n",
              Folders * FilesPerFolder, Folders, CacheEntries, rounds);
  std::printf("  preview %.0f ms (%llu items to remove), bare listing %.0f ms (%zu files and entries), ratio %.1f\n", a,
              static_cast<unsigned long long>(items), b, listed, a / b);
  std::printf("  of the bare listing, the cache search alone %.0f ms: the least any count of these entries takes\n",
              median(bareCache));
  std::printf("  GUI thread meanwhile: longest gap between two 10 ms timer ticks %.0f ms (median of the runs)\n",
              median(gaps));
  removeTree(root);
  for (int i = 0; i < CacheEntries; ++i) DeleteUrlCacheEntryA(entryUrl(i).c_str());
  return true;
}

}  // namespace bench

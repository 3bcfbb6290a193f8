#include "platform/win32/FilesWin32.h"
#include <windows.h>
#include <shlobj.h>
#include <knownfolders.h>
#include <algorithm>
#include "platform/win32/WideText.h"

namespace platform::win32 {

std::string Files::tempFolder() {
  wchar_t buf[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, buf);
  if (n == 0 || n > MAX_PATH) return "";  // failed, or the path does not fit
  return pathFromWide(buf, n).value_or("");
}

std::string programFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return "";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    if (path.size() >= 32768) return "";  // longer than any Windows path
    path.resize(path.size() * 2);
  }
  std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return "";
  return pathFromWide(path.data(), slash + 1).value_or("");
}

std::string Files::programFolder() { return win32::programFolder(); }

namespace {

std::string withoutSeparator(std::string path) {
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

std::string folderPath(int csidl) {
  wchar_t buf[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf))) return "";
  return withoutSeparator(pathFromWide(buf).value_or(""));
}

// A system folder as the call that names it reports it; "" when it fails.
template <typename Call>
std::string systemFolder(Call call) {
  wchar_t buf[MAX_PATH];
  const UINT n = call(buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return "";
  return withoutSeparator(pathFromWide(buf, n).value_or(""));
}

HANDLE openFile(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  const auto wide = longPath(path);
  if (!wide) return INVALID_HANDLE_VALUE;
  return CreateFileW(wide->c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() {
    if (ok()) CloseHandle(h_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

}  // namespace

std::vector<std::string> Files::systemFolders() {
  std::vector<std::string> folders = {systemFolder(GetWindowsDirectoryW), systemFolder(GetSystemDirectoryW)};
  for (int csidl : {CSIDL_PROFILE, CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_MYPICTURES, CSIDL_MYMUSIC,
                    CSIDL_MYVIDEO})
    folders.push_back(folderPath(csidl));
  wchar_t* downloads = nullptr;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, &downloads)))
    folders.push_back(withoutSeparator(pathFromWide(downloads).value_or("")));
  CoTaskMemFree(downloads);
  std::erase(folders, std::string());
  return folders;
}

std::vector<FileEntry> Files::find(const std::string& pattern) {
  std::vector<FileEntry> entries;
  const auto wide = longPath(pattern);
  if (!wide) return entries;
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileW(wide->c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return entries;
  do {
    // A name with an unpaired surrogate has no UTF-8 form to be named by.
    if (auto name = pathFromWide(data.cFileName)) entries.push_back({std::move(*name), data.dwFileAttributes,
                                                               (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow});
  } while (FindNextFileW(h, &data));
  FindClose(h);
  return entries;
}

bool Files::deleteFile(const std::string& path) {
  const auto wide = longPath(path);
  return wide && DeleteFileW(wide->c_str()) != FALSE;
}

// Opening for deletion alone and sharing nothing fails while any other
// handle is open, even one that shares everything, as the cache holds its
// own index: such a file, deleted, stays until its holder lets it go. The
// file itself is not touched.
bool Files::inUse(const std::string& path) {
  const auto wide = longPath(path);
  if (!wide) return false;
  HANDLE h = CreateFileW(wide->c_str(), DELETE, 0, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
  CloseHandle(h);
  return false;
}

bool Files::setAttributes(const std::string& path, std::uint32_t attributes) {
  const auto wide = longPath(path);
  return wide && SetFileAttributesW(wide->c_str(), attributes) != FALSE;
}

bool Files::removeFolder(const std::string& path) {
  const auto wide = longPath(path);
  return wide && RemoveDirectoryW(wide->c_str()) != FALSE;
}

std::optional<std::string> Files::readFile(const std::string& path) {
  FileHandle f(openFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
  if (!f.ok()) return std::nullopt;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(f.get(), &size) || size.QuadPart > 0x7fffffff) return std::nullopt;
  std::string data(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD done = 0;
  if (!data.empty() && (!ReadFile(f.get(), data.data(), static_cast<DWORD>(data.size()), &done, nullptr)))
    return std::nullopt;
  data.resize(done);
  return data;
}

namespace {

class Writer : public FileWriter {
 public:
  explicit Writer(HANDLE file) : file_(file) {}
  ~Writer() override { CloseHandle(file_); }
  bool write(const char* data, std::size_t size) override {
    while (size > 0) {
      DWORD done = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1 << 20));
      if (!WriteFile(file_, data, chunk, &done, nullptr) || done == 0) return false;
      data += done;
      size -= done;
    }
    return true;
  }

 private:
  HANDLE file_;
};

}  // namespace

std::unique_ptr<FileWriter> Files::createFile(const std::string& path) {
  HANDLE f = openFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
  if (f == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Writer>(f);
}

bool Files::writeFile(const std::string& path, const std::string& data) {
  FileHandle f(openFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS));
  if (!f.ok()) return false;
  std::size_t written = 0;
  while (written < data.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - written, 1 << 20));
    DWORD done = 0;
    if (!WriteFile(f.get(), data.data() + written, chunk, &done, nullptr) || done == 0) return false;
    written += done;
  }
  // The data must be on the disk before a caller moves this file over another.
  return FlushFileBuffers(f.get()) != FALSE;
}

bool Files::moveFile(const std::string& from, const std::string& to) {
  const auto source = longPath(from), target = longPath(to);
  if (!source || !target) return false;
  // Windows refuses to replace a read-only file; Wine would replace it.
  const DWORD marks = GetFileAttributesW(target->c_str());
  if (marks != INVALID_FILE_ATTRIBUTES && (marks & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return MoveFileExW(source->c_str(), target->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

namespace {

// Two change notifications: one for everything below the folder, one in its
// parent for the folder's own name, so that a folder renamed is seen too. A
// notification that cannot be read counts as a change.
class FolderWatchWin32 : public FolderWatch {
 public:
  explicit FolderWatchWin32(std::vector<HANDLE> handles) : handles_(std::move(handles)) {}
  ~FolderWatchWin32() override {
    for (HANDLE h : handles_) FindCloseChangeNotification(h);
  }
  FolderWatchWin32(const FolderWatchWin32&) = delete;
  FolderWatchWin32& operator=(const FolderWatchWin32&) = delete;
  bool changed() override {
    changed_ = changed_ ||
               WaitForMultipleObjects(static_cast<DWORD>(handles_.size()), handles_.data(), FALSE, 0) != WAIT_TIMEOUT;
    return changed_;
  }

 private:
  std::vector<HANDLE> handles_;
  bool changed_ = false;
};

}  // namespace

std::unique_ptr<FolderWatch> Files::watch(const std::string& folder) {
  const std::string path = withoutSeparator(folder);
  const auto wide = longPath(path);
  if (!wide) return nullptr;
  constexpr DWORD Everything = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                               FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
  HANDLE tree = FindFirstChangeNotificationW(wide->c_str(), TRUE, Everything);
  if (tree == INVALID_HANDLE_VALUE) return nullptr;
  std::vector<HANDLE> handles{tree};
  const std::size_t slash = path.find_last_of("\\/");
  if (slash != std::string::npos) {
    const auto parent = longPath(path.substr(0, slash + 1));
    HANDLE above = parent ? FindFirstChangeNotificationW(parent->c_str(), FALSE, FILE_NOTIFY_CHANGE_DIR_NAME)
                          : INVALID_HANDLE_VALUE;
    if (above == INVALID_HANDLE_VALUE) {
      FindCloseChangeNotification(tree);
      return nullptr;
    }
    handles.push_back(above);
  }
  return std::make_unique<FolderWatchWin32>(std::move(handles));
}

}  // namespace platform::win32

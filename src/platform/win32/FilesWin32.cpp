#include "platform/win32/FilesWin32.h"
#include <windows.h>
#include <shlobj.h>
#include <knownfolders.h>
#include <algorithm>

namespace platform::win32 {

std::string Files::tempFolder() {
  char buf[257];
  DWORD n = GetTempPathA(sizeof buf, buf);
  if (n == 0 || n >= sizeof buf) return "";  // failed, or the path does not fit
  return std::string(buf, n);
}

std::string programFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return "";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    if (path.size() >= 32768) return "";  // longer than any Windows path
    path.resize(path.size() * 2);
  }
  std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string Files::programFolder() { return win32::programFolder(); }

namespace {

std::string withoutSeparator(std::string path) {
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

std::string folderPath(int csidl) {
  char buf[MAX_PATH];
  if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf))) return "";
  return withoutSeparator(buf);
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
  std::vector<std::string> folders;
  char buf[MAX_PATH];
  UINT n = GetWindowsDirectoryA(buf, sizeof buf);
  if (n > 0 && n < sizeof buf) folders.push_back(withoutSeparator(std::string(buf, n)));
  n = GetSystemDirectoryA(buf, sizeof buf);
  if (n > 0 && n < sizeof buf) folders.push_back(withoutSeparator(std::string(buf, n)));
  for (int csidl : {CSIDL_PROFILE, CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_MYPICTURES, CSIDL_MYMUSIC,
                    CSIDL_MYVIDEO}) {
    std::string folder = folderPath(csidl);
    if (!folder.empty()) folders.push_back(folder);
  }
  wchar_t* downloads = nullptr;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, &downloads))) {
    char buf[MAX_PATH];
    if (WideCharToMultiByte(CP_ACP, 0, downloads, -1, buf, sizeof buf, nullptr, nullptr) > 1)
      folders.push_back(withoutSeparator(buf));
  }
  CoTaskMemFree(downloads);
  return folders;
}

std::vector<FileEntry> Files::find(const std::string& pattern) {
  std::vector<FileEntry> entries;
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA(pattern.c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return entries;
  do {
    entries.push_back({data.cFileName, data.dwFileAttributes});
  } while (FindNextFileA(h, &data));
  FindClose(h);
  return entries;
}

bool Files::deleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

bool Files::setAttributes(const std::string& path, std::uint32_t attributes) {
  return SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

bool Files::removeFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()) != FALSE; }

std::optional<std::string> Files::readFile(const std::string& path) {
  FileHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
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
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Writer>(f);
}

bool Files::writeFile(const std::string& path, const std::string& data) {
  FileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
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
  // Windows refuses to replace a read-only file; Wine would replace it.
  const DWORD target = GetFileAttributesA(to.c_str());
  if (target != INVALID_FILE_ATTRIBUTES && (target & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace platform::win32

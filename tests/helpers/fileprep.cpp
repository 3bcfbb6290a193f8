// fileprep.exe: prepares and inspects files for the end-to-end tests in ways
// only Windows code can: file attributes, a file held open without sharing,
// the Recycle Bin, the temp folder a program sees.
//
// Usage: fileprep.exe OUT COMMAND [ARGS]
//   attrib PATH HEX   set the file's attributes
//   hold PATH         open PATH without sharing and keep it open until killed
//   recycle PATH      delete PATH to the Recycle Bin
//   bincount          the number of items in the Recycle Bin
//   temp              the temp folder (GetTempPathA)
// OUT receives "ok" or the answer (written to OUT.tmp, then renamed), or
// "error N" with the system's error code.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

void answer(const std::string& out, const std::string& text) {
  const std::string tmp = out + ".tmp";
  if (std::FILE* f = std::fopen(tmp.c_str(), "wb")) {
    std::fputs(text.c_str(), f);
    std::fclose(f);
    MoveFileExA(tmp.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}

std::string failed() { return "error " + std::to_string(GetLastError()); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string out = argv[1], cmd = argv[2];
  const std::string path = argc > 3 ? argv[3] : "";
  if (cmd == "attrib" && argc > 4) {
    DWORD attrs = std::strtoul(argv[4], nullptr, 16);
    answer(out, SetFileAttributesA(path.c_str(), attrs) ? "ok" : failed());
  } else if (cmd == "hold") {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    answer(out, h != INVALID_HANDLE_VALUE ? "ok" : failed());
    if (h != INVALID_HANDLE_VALUE) Sleep(INFINITE);
  } else if (cmd == "recycle") {
    std::string from = path;
    from.push_back('\0');
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    int rc = SHFileOperationA(&op);
    answer(out, rc == 0 ? "ok" : "error " + std::to_string(rc));
  } else if (cmd == "bincount") {
    SHQUERYRBINFO info{};
    info.cbSize = sizeof info;
    HRESULT hr = SHQueryRecycleBinA(nullptr, &info);
    answer(out, SUCCEEDED(hr) ? std::to_string(info.i64NumItems) : "error " + std::to_string(hr));
  } else if (cmd == "temp") {
    char buf[MAX_PATH + 1];
    DWORD n = GetTempPathA(sizeof buf, buf);
    answer(out, n ? std::string(buf, n) : failed());
  } else {
    answer(out, "error unknown command");
    return 2;
  }
  return 0;
}

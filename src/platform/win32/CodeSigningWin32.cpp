#include "platform/win32/CodeSigningWin32.h"
#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>
#include <cstdio>
#include <vector>
#include "platform/win32/WideText.h"

namespace platform::win32 {

namespace {

std::string sha256Hex(const CERT_CONTEXT& cert) {
  BYTE hash[32];
  DWORD size = sizeof hash;
  if (!CryptHashCertificate(0, CALG_SHA_256, 0, cert.pbCertEncoded, cert.cbCertEncoded, hash, &size)) return "";
  std::string hex;
  char digit[3];
  for (DWORD i = 0; i < size; ++i) {
    std::snprintf(digit, sizeof digit, "%02x", hash[i]);
    hex += digit;
  }
  return hex;
}

class Held : public HeldFile {
 public:
  Held(HANDLE file, std::wstring path) : file_(file), path_(std::move(path)) {}
  ~Held() override { CloseHandle(file_); }

  SignatureVerdict verifySignature() override {
    WINTRUST_FILE_INFO info{};
    info.cbStruct = sizeof info;
    info.pcwszFilePath = path_.c_str();
    info.hFile = file_;  // judged through the held handle, so it is the file that stays held
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &info;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    SignatureVerdict v;
    v.status = static_cast<std::uint32_t>(WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data));
    if (CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(data.hWVTStateData)) {
      CRYPT_PROVIDER_SGNR* signer = WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
      CRYPT_PROVIDER_CERT* cert = signer ? WTHelperGetProvCertFromChain(signer, 0) : nullptr;
      if (cert && cert->pCert) v.signerSha256 = sha256Hex(*cert->pCert);
    }
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return v;
  }

  std::string version() override {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path_.c_str(), &ignored);
    if (size == 0) return "";
    std::vector<char> info(size);
    if (!GetFileVersionInfoW(path_.c_str(), 0, size, info.data())) return "";
    struct Translation {
      WORD language, codePage;
    }* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof *translation)
      return "";
    wchar_t name[64];
    swprintf(name, 64, L"\\StringFileInfo\\%04x%04x\\ProductVersion", translation->language, translation->codePage);
    wchar_t* text = nullptr;
    if (!VerQueryValueW(info.data(), name, reinterpret_cast<void**>(&text), &length) || !text) return "";
    const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return "";
    std::string version(n - 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, version.data(), n, nullptr, nullptr);
    return version;
  }

 private:
  HANDLE file_;
  std::wstring path_;
};

}  // namespace

std::unique_ptr<HeldFile> CodeSigning::hold(const std::string& path) {
  auto wide = widePath(path);
  if (!wide) return nullptr;
  HANDLE file = CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Held>(file, std::move(*wide));
}

}  // namespace platform::win32

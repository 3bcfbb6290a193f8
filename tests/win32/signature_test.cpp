// The build's signature as the system judges it: WinVerifyTrust accepts the
// signed tarnwick.exe, whose signer is the certificate whose fingerprint the
// program carries; an unsigned file and a signed one with a byte changed are
// refused.
#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string besideThisTest(const char* name) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

std::wstring wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

struct Verdict {
  LONG status = 0;
  std::string signerSha256;  // lower-case hex; empty when none
};

Verdict verify(const std::string& file) {
  const std::wstring path = wide(file);
  WINTRUST_FILE_INFO info{};
  info.cbStruct = sizeof info;
  info.pcwszFilePath = path.c_str();
  WINTRUST_DATA data{};
  data.cbStruct = sizeof data;
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &info;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  Verdict v;
  v.status = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  if (CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(data.hWVTStateData)) {
    CRYPT_PROVIDER_SGNR* signer = WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
    CRYPT_PROVIDER_CERT* cert = signer ? WTHelperGetProvCertFromChain(signer, 0) : nullptr;
    BYTE hash[32];
    DWORD size = sizeof hash;
    if (cert && CryptHashCertificate(0, CALG_SHA_256, 0, cert->pCert->pbCertEncoded, cert->pCert->cbCertEncoded, hash,
                                     &size)) {
      char hex[3];
      for (DWORD i = 0; i < size; ++i) {
        std::snprintf(hex, sizeof hex, "%02x", hash[i]);
        v.signerSha256 += hex;
      }
    }
  }
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  return v;
}

}  // namespace

TEST(Signature, TheSystemAcceptsTheBuildAndKnowsItsSigner) {
  const std::string program = besideThisTest("tarnwick.exe");
  const Verdict signedProgram = verify(program);
  EXPECT_EQ(signedProgram.status, 0);
  EXPECT_EQ(signedProgram.signerSha256, TARNWICK_VENDOR_CERT_SHA256) << "the fingerprint the program carries";

  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  EXPECT_EQ(static_cast<unsigned long>(verify(self).status), 0x800B0100ul) << "this test is not signed";

  // One byte of the program changed, in the middle of its code.
  std::ifstream in(program, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 4096u);
  bytes[bytes.size() / 3] ^= 0x01;
  const std::string changed = besideThisTest("tarnwick-changed.exe");
  std::ofstream(changed, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  EXPECT_EQ(static_cast<unsigned long>(verify(changed).status), 0x80096010ul);
  DeleteFileA(changed.c_str());
}

// The build's signature as the system judges it: WinVerifyTrust accepts the
// signed tarnwick.exe, whose signer is the certificate whose fingerprint the
// program carries; an unsigned file and a signed one with a byte changed are
// refused; while the program is held for the check nothing can write to it.
#include <windows.h>
#include <gtest/gtest.h>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "platform/win32/CodeSigningWin32.h"

namespace {

std::string besideThisTest(const char* name) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

platform::SignatureVerdict verify(const std::string& file) {
  platform::win32::CodeSigning signing;
  std::unique_ptr<platform::HeldFile> held = signing.hold(file);
  EXPECT_TRUE(held) << file;
  return held ? held->verifySignature() : platform::SignatureVerdict{};
}

}  // namespace

TEST(Signature, TheSystemAcceptsTheBuildAndKnowsItsSigner) {
  const std::string program = besideThisTest("tarnwick.exe");
  const platform::SignatureVerdict signedProgram = verify(program);
  EXPECT_EQ(signedProgram.status, 0u);
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

  platform::win32::CodeSigning signing;
  std::unique_ptr<platform::HeldFile> held = signing.hold(program);
  HANDLE writer = CreateFileA(program.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE) << "written while held";
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  EXPECT_FALSE(DeleteFileA(program.c_str())) << "deleted while held";
}

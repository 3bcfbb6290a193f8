// An HTTP layer with no network, for native tests: URLs are cracked and
// combined as the system does for the plain forms the program uses; every
// request fails to reach its server. Signatures are whatever a test says.
#pragma once
#include <map>
#include "platform/CodeSigning.h"
#include "platform/Internet.h"
#include "platform/fake/FakeServices.h"

namespace fake {

class FakeInternet : public platform::Internet {
 public:
  explicit FakeInternet(FakeGuiThread& gui) : gui_(gui) {}
  platform::InternetHandle open(const std::string&, const std::string&, std::uint32_t) override { return token(); }
  void setStatusCallback(platform::InternetHandle, platform::InternetStatusCallback) override {}
  platform::InternetHandle connect(platform::InternetHandle, const std::string&, int, const std::string&,
                                   const std::string&, std::uintptr_t) override {
    return token();
  }
  void setOption(platform::InternetHandle, platform::InternetOption, std::uint32_t) override {}
  void setOption(platform::InternetHandle, platform::InternetOption, const std::string&) override {}
  platform::InternetHandle openRequest(platform::InternetHandle, const std::string&, const std::string&,
                                       const std::string&, const std::string&, const std::vector<std::string>&,
                                       std::uint32_t, std::uintptr_t) override {
    return token();
  }
  bool sendRequest(platform::InternetHandle, const std::string&, const std::string&) override;
  bool queryNumber(platform::InternetHandle, platform::HttpQuery, std::uint32_t&) override;
  bool queryText(platform::InternetHandle, platform::HttpQuery, std::size_t, std::string&) override;
  bool read(platform::InternetHandle, char*, std::uint32_t, std::uint32_t*) override;
  void close(platform::InternetHandle) override {}
  std::uint32_t lastError() override { return error_; }
  bool crackUrl(const std::string& url, platform::UrlParts& parts) override;
  bool combineUrl(const std::string& base, const std::string& relative, std::string& url) override;
  std::string messageText(std::uint32_t code) override { return "error " + std::to_string(code); }
  std::string lastResponseInfo(std::uint32_t& error) override {
    error = 0;
    return "";
  }
  std::uint32_t errorDialog(platform::InternetHandle, std::uint32_t) override { return platform::inet::ErrorCancelled; }
  std::shared_ptr<platform::GuiThread> eventHandOver() override {
    return std::shared_ptr<platform::GuiThread>(std::shared_ptr<void>(), &gui_);
  }

 private:
  platform::InternetHandle token() { return &tokens_; }
  bool unreachable();
  FakeGuiThread& gui_;
  char tokens_ = 0;
  std::uint32_t error_ = 0;
};

class FakeCodeSigning : public platform::CodeSigning {
 public:
  // The verdict of each file by path; a file not listed is unsigned.
  std::map<std::string, platform::SignatureVerdict> verdicts;
  // The version resource of each file by path; a file not listed has none.
  std::map<std::string, std::string> versions;
  std::unique_ptr<platform::HeldFile> hold(const std::string& path) override;
};

}  // namespace fake

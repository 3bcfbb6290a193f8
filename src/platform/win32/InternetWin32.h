// The HTTP layer on wininet (ANSI calls). The system calls back one function
// for every session; it finds the session's callback through the handle the
// notification is about.
#pragma once
#include <map>
#include <memory>
#include <mutex>
#include "platform/Internet.h"

namespace platform::win32 {

class Internet : public platform::Internet {
 public:
  InternetHandle open(const std::string& agent, const std::string& proxy, std::uint32_t flags) override;
  void setStatusCallback(InternetHandle session, InternetStatusCallback callback) override;
  InternetHandle connect(InternetHandle session, const std::string& host, int port, const std::string& user,
                         const std::string& password, std::uintptr_t context) override;
  void setOption(InternetHandle handle, InternetOption option, std::uint32_t value) override;
  void setOption(InternetHandle handle, InternetOption option, const std::string& text) override;
  InternetHandle openRequest(InternetHandle connection, const std::string& verb, const std::string& object,
                             const std::string& version, const std::string& referrer,
                             const std::vector<std::string>& acceptTypes, std::uint32_t flags,
                             std::uintptr_t context) override;
  bool sendRequest(InternetHandle request, const std::string& headers, const std::string& body) override;
  bool queryNumber(InternetHandle request, HttpQuery what, std::uint32_t& value) override;
  bool queryText(InternetHandle request, HttpQuery what, std::size_t bufferSize, std::string& text) override;
  bool read(InternetHandle request, char* buffer, std::uint32_t size, std::uint32_t* count) override;
  void close(InternetHandle handle) override;
  std::uint32_t lastError() override;
  bool crackUrl(const std::string& url, UrlParts& parts) override;
  bool combineUrl(const std::string& base, const std::string& relative, std::string& url) override;
  std::string messageText(std::uint32_t code) override;
  std::string lastResponseInfo(std::uint32_t& error) override;
  std::uint32_t errorDialog(InternetHandle request, std::uint32_t error) override;
  std::shared_ptr<platform::GuiThread> eventHandOver() override;

 private:
  std::weak_ptr<platform::GuiThread> handOver_;
};

}  // namespace platform::win32

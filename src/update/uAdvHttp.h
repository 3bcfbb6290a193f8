// TAdvHttp: one HTTP request at a time through the HTTP layer's asynchronous
// mode. A worker thread reads the reply; every event reaches the owner on the
// GUI thread through the hand-over window the components share, and none
// reaches it once the component is gone.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>
#include "platform/Internet.h"
#include "update/InternetFlags.h"

namespace update {

// A failure of the HTTP layer, with the system's text for its code.
class EInetError : public std::runtime_error {
 public:
  EInetError(std::uint32_t code, const std::string& message) : std::runtime_error(message), code_(code) {}
  std::uint32_t code() const { return code_; }

 private:
  std::uint32_t code_;
};

class TAdvHttp {
 public:
  using Event = std::function<void(TAdvHttp& Sender)>;

  explicit TAdvHttp(platform::Internet& internet);
  // An outstanding request ends without further events.
  ~TAdvHttp();
  TAdvHttp(const TAdvHttp&) = delete;
  TAdvHttp& operator=(const TAdvHttp&) = delete;

  int ConnectTimeout = 30000;
  bool RaiseExceptions = true;
  bool DefaultUi = true;
  int AuthRetries = 3;
  std::string Method = "GET";
  std::vector<std::string> RequestHeaders;
  std::vector<std::string> AcceptTypes;
  // A reply longer than this is not held: reading stops and OnError reports it.
  std::size_t MaxReplySize = 64 * 1024;

  const std::string& UserAgent() const { return userAgent_; }
  void setUserAgent(const std::string& agent);
  const std::string& Proxy() const { return proxy_; }
  void setProxy(const std::string& proxy);
  const std::string& UserName() const { return userName_; }
  void setUserName(const std::string& name);
  const std::string& Password() const { return password_; }
  void setPassword(const std::string& password);
  void setProxyUserName(const std::string& name);
  void setProxyPassword(const std::string& password);

  // The address and its parts, kept consistent with one another.
  const std::string& URL() const { return url_; }
  void setURL(const std::string& url);
  const std::string& HostName() const { return hostName_; }
  void setHostName(const std::string& host);
  const std::string& URLPath() const { return urlPath_; }
  void setURLPath(const std::string& path);
  const std::string& ExtraInfo() const { return extraInfo_; }
  void setExtraInfo(const std::string& extra);
  int Port() const { return port_; }
  void setPort(int port);
  bool SSL() const { return ssl_; }
  void setSSL(bool ssl);

  const TInternetFlags& InternetFlags() const { return flags_; }
  void setInternetFlags(const TInternetFlags& flags);
  std::uint32_t RequestFlags() const { return requestFlags_; }

  // Read: the reply body up to its first NUL byte. Written: the request body.
  std::string Text() const;
  void setText(const std::string& body);

  std::uint32_t ErrorCode() const;
  std::uint32_t StatusCode() const;
  std::vector<std::string> ResponseHeaders() const;

  // Starts the request the properties describe; with Synchronous it is done
  // when this returns. False when it failed and RaiseExceptions is off.
  bool StartRequest(bool Synchronous);
  // The request under way ends at once; none of its events follow.
  void Abort();

  Event OnRequestComplete;
  Event OnSendingRequest;
  Event OnError;

  struct Shared;

 private:
  void SplitURL(const std::string& url);
  void ComposeURL();
  // Assigns one part and composes the URL again; a part the URL cannot be
  // composed with gets its old value back.
  void setPart(std::string& part, const std::string& value);
  void openSession();
  void closeSession();
  // An open session is opened again with the agent and proxy now set.
  void reopenSession();
  // A reply still being read is abandoned and its worker waited for.
  void endWorker();

  platform::Internet& internet_;
  std::shared_ptr<platform::GuiThread> handOver_;
  std::shared_ptr<Shared> shared_;
  platform::InternetHandle session_ = nullptr;
  std::uint32_t openFlags_ = 0;
  std::string userAgent_ = "Ostrel WinInet Component";
  std::string proxy_, userName_, password_;
  std::string url_, hostName_ = "localhost", urlPath_, extraInfo_;
  int port_ = 80;
  bool ssl_ = false;
  TInternetFlags flags_;
  std::uint32_t requestFlags_ = 0;
};

}  // namespace update

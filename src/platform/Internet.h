// The HTTP layer, shaped after the system's internet functions: a session,
// a connection and a request, each a handle; the session's status callback;
// reads into the caller's buffer; URL cracking and combining; error texts.
// A call that fails returns false (or a null handle) and leaves its error code
// for lastError() on the calling thread.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "platform/GuiThread.h"

namespace platform {

using InternetHandle = void*;

namespace inet {
// Session flag: calls return at once and finish through the status callback.
inline constexpr std::uint32_t FlagAsync = 0x10000000;
inline constexpr std::uint32_t FlagSecure = 0x00800000;
inline constexpr std::uint32_t FlagReload = 0x80000000;
// Request flag: a redirect reply is handed to the caller, not followed.
inline constexpr std::uint32_t FlagNoAutoRedirect = 0x00200000;

// Status codes the callback reports.
inline constexpr std::uint32_t StatusResolvingName = 10;
inline constexpr std::uint32_t StatusNameResolved = 11;
inline constexpr std::uint32_t StatusConnectingToServer = 20;
inline constexpr std::uint32_t StatusConnectedToServer = 21;
inline constexpr std::uint32_t StatusSendingRequest = 30;
inline constexpr std::uint32_t StatusRequestSent = 31;
inline constexpr std::uint32_t StatusReceivingResponse = 40;
inline constexpr std::uint32_t StatusResponseReceived = 41;
inline constexpr std::uint32_t StatusHandleClosing = 70;
inline constexpr std::uint32_t StatusRequestComplete = 100;

inline constexpr std::uint32_t ErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t ErrorIoPending = 997;
inline constexpr std::uint32_t ErrorCancelled = 1223;
inline constexpr std::uint32_t ErrorExtendedError = 12003;
inline constexpr std::uint32_t ErrorNameNotResolved = 12007;
inline constexpr std::uint32_t ErrorOperationCancelled = 12017;
inline constexpr std::uint32_t ErrorCannotConnect = 12029;
inline constexpr std::uint32_t ErrorRedirectFailed = 12156;
}  // namespace inet

struct InternetStatus {
  InternetHandle handle = nullptr;  // the handle the notification is about
  std::uintptr_t context = 0;       // the context that handle was opened with
  std::uint32_t status = 0;
  // Request complete: whether the asynchronous call succeeded, and its error.
  bool succeeded = false;
  std::uint32_t error = 0;
  std::string text;          // an address or a new URL
  std::uint32_t count = 0;   // bytes sent or received
};
using InternetStatusCallback = std::function<void(const InternetStatus&)>;

struct UrlParts {
  std::string scheme, host, user, password, path, extra;
  int port = 0;
};

enum class InternetOption { ConnectTimeout, UserName, Password, ProxyUserName, ProxyPassword };
enum class HttpQuery { StatusCode, RawHeadersCrLf, ContentLength, Location };

class Internet {
 public:
  virtual ~Internet() = default;

  // A session; `proxy` empty takes the system's proxy configuration.
  virtual InternetHandle open(const std::string& agent, const std::string& proxy, std::uint32_t flags) = 0;
  // Installs (or, with an empty callback, removes) the session's callback;
  // handles opened from the session afterwards report to it. A removed
  // callback is never called again once this returns.
  virtual void setStatusCallback(InternetHandle session, InternetStatusCallback callback) = 0;
  virtual InternetHandle connect(InternetHandle session, const std::string& host, int port, const std::string& user,
                                 const std::string& password, std::uintptr_t context) = 0;
  virtual void setOption(InternetHandle handle, InternetOption option, std::uint32_t value) = 0;
  virtual void setOption(InternetHandle handle, InternetOption option, const std::string& text) = 0;
  // `acceptTypes` empty sends none; `version` empty is the layer's default.
  virtual InternetHandle openRequest(InternetHandle connection, const std::string& verb, const std::string& object,
                                     const std::string& version, const std::string& referrer,
                                     const std::vector<std::string>& acceptTypes, std::uint32_t flags,
                                     std::uintptr_t context) = 0;
  virtual bool sendRequest(InternetHandle request, const std::string& headers, const std::string& body) = 0;
  virtual bool queryNumber(InternetHandle request, HttpQuery what, std::uint32_t& value) = 0;
  // The text of a header, read into a buffer of `bufferSize` bytes.
  virtual bool queryText(InternetHandle request, HttpQuery what, std::size_t bufferSize, std::string& text) = 0;
  // Reads up to `size` bytes. On an asynchronous session a read may stay
  // pending (false, ErrorIoPending): `buffer` and `count` are then filled
  // when the status callback reports its completion, so both must live on.
  virtual bool read(InternetHandle request, char* buffer, std::uint32_t size, std::uint32_t* count) = 0;
  virtual void close(InternetHandle handle) = 0;
  virtual std::uint32_t lastError() = 0;

  virtual bool crackUrl(const std::string& url, UrlParts& parts) = 0;
  virtual bool combineUrl(const std::string& base, const std::string& relative, std::string& url) = 0;
  // The system's text for an error code of the HTTP layer.
  virtual std::string messageText(std::uint32_t code) = 0;
  // The server's last response on this thread, for ErrorExtendedError.
  virtual std::string lastResponseInfo(std::uint32_t& error) = 0;
  // The system's authentication dialog for the request; its result.
  virtual std::uint32_t errorDialog(InternetHandle request, std::uint32_t error) = 0;

  // The hand-over that carries the components' events to the GUI thread,
  // shared by every component alive in the process.
  virtual std::shared_ptr<GuiThread> eventHandOver() = 0;
};

}  // namespace platform

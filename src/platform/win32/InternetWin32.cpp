#include "platform/win32/InternetWin32.h"
#include <windows.h>
#include <wininet.h>
#include "platform/win32/GuiThreadWin32.h"

namespace platform::win32 {

namespace {

// Which session every open handle belongs to, and each session's callback.
// The system's callback has no room for more than the handle and its
// context, so this lives for the process.
struct Sessions {
  std::mutex mutex;
  std::map<HINTERNET, HINTERNET> sessionOf;
  std::map<HINTERNET, std::shared_ptr<InternetStatusCallback>> callbacks;

  std::shared_ptr<InternetStatusCallback> callbackFor(HINTERNET handle) {
    std::lock_guard<std::mutex> lock(mutex);
    auto s = sessionOf.find(handle);
    if (s == sessionOf.end()) return nullptr;
    auto c = callbacks.find(s->second);
    return c == callbacks.end() ? nullptr : c->second;
  }
  void opened(HINTERNET handle, HINTERNET parent) {
    std::lock_guard<std::mutex> lock(mutex);
    auto s = sessionOf.find(parent);
    sessionOf[handle] = s == sessionOf.end() ? parent : s->second;
  }
};

Sessions& sessions() {
  static Sessions s;
  return s;
}

void CALLBACK statusCallback(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID info, DWORD length) {
  std::shared_ptr<InternetStatusCallback> callback = sessions().callbackFor(handle);
  if (!callback || !*callback) return;
  InternetStatus s;
  s.handle = handle;
  s.context = context;
  s.status = status;
  if (status == INTERNET_STATUS_REQUEST_COMPLETE && info) {
    const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(info);
    s.succeeded = result->dwResult != 0;
    s.error = result->dwError;
  } else if ((status == INTERNET_STATUS_REQUEST_SENT || status == INTERNET_STATUS_RESPONSE_RECEIVED) && info &&
             length >= sizeof(DWORD)) {
    s.count = *static_cast<const DWORD*>(info);
  } else if ((status == INTERNET_STATUS_NAME_RESOLVED || status == INTERNET_STATUS_CONNECTING_TO_SERVER ||
              status == INTERNET_STATUS_CONNECTED_TO_SERVER || status == INTERNET_STATUS_REDIRECT) &&
             info) {
    s.text.assign(static_cast<const char*>(info), strnlen(static_cast<const char*>(info), length));
  }
  (*callback)(s);
}

const char* orNull(const std::string& s) { return s.empty() ? nullptr : s.c_str(); }

DWORD queryLevel(HttpQuery what) {
  switch (what) {
    case HttpQuery::StatusCode:
      return HTTP_QUERY_STATUS_CODE;
    case HttpQuery::RawHeadersCrLf:
      return HTTP_QUERY_RAW_HEADERS_CRLF;
    case HttpQuery::ContentLength:
      return HTTP_QUERY_CONTENT_LENGTH;
    case HttpQuery::Location:
      return HTTP_QUERY_LOCATION;
  }
  return 0;
}

DWORD optionNumber(InternetOption option) {
  switch (option) {
    case InternetOption::ConnectTimeout:
      return INTERNET_OPTION_CONNECT_TIMEOUT;
    case InternetOption::UserName:
      return INTERNET_OPTION_USERNAME;
    case InternetOption::Password:
      return INTERNET_OPTION_PASSWORD;
    case InternetOption::ProxyUserName:
      return INTERNET_OPTION_PROXY_USERNAME;
    case InternetOption::ProxyPassword:
      return INTERNET_OPTION_PROXY_PASSWORD;
  }
  return 0;
}

}  // namespace

InternetHandle Internet::open(const std::string& agent, const std::string& proxy, std::uint32_t flags) {
  HINTERNET session =
      InternetOpenA(orNull(agent), proxy.empty() ? INTERNET_OPEN_TYPE_PRECONFIG : INTERNET_OPEN_TYPE_PROXY,
                    orNull(proxy), nullptr, flags);
  if (session) sessions().opened(session, session);
  return session;
}

void Internet::setStatusCallback(InternetHandle session, InternetStatusCallback callback) {
  auto h = static_cast<HINTERNET>(session);
  const bool installed = static_cast<bool>(callback);
  {
    std::lock_guard<std::mutex> lock(sessions().mutex);
    if (installed)
      sessions().callbacks[h] = std::make_shared<InternetStatusCallback>(std::move(callback));
    else
      sessions().callbacks.erase(h);
  }
  InternetSetStatusCallbackA(h, installed ? &statusCallback : nullptr);
}

InternetHandle Internet::connect(InternetHandle session, const std::string& host, int port, const std::string& user,
                                 const std::string& password, std::uintptr_t context) {
  HINTERNET c = InternetConnectA(static_cast<HINTERNET>(session), host.c_str(), static_cast<INTERNET_PORT>(port),
                                 orNull(user), orNull(password), INTERNET_SERVICE_HTTP, 0, context);
  if (c) sessions().opened(c, static_cast<HINTERNET>(session));
  return c;
}

void Internet::setOption(InternetHandle handle, InternetOption option, std::uint32_t value) {
  DWORD v = value;
  InternetSetOptionA(static_cast<HINTERNET>(handle), optionNumber(option), &v, sizeof v);
}

void Internet::setOption(InternetHandle handle, InternetOption option, const std::string& text) {
  InternetSetOptionA(static_cast<HINTERNET>(handle), optionNumber(option), const_cast<char*>(text.c_str()),
                     static_cast<DWORD>(text.size()));
}

InternetHandle Internet::openRequest(InternetHandle connection, const std::string& verb, const std::string& object,
                                     const std::string& version, const std::string& referrer,
                                     const std::vector<std::string>& acceptTypes, std::uint32_t flags,
                                     std::uintptr_t context) {
  std::vector<const char*> accept;
  for (const std::string& type : acceptTypes) accept.push_back(type.c_str());
  accept.push_back(nullptr);
  HINTERNET r = HttpOpenRequestA(static_cast<HINTERNET>(connection), verb.c_str(), object.c_str(), orNull(version),
                                 orNull(referrer), acceptTypes.empty() ? nullptr : accept.data(), flags, context);
  if (r) sessions().opened(r, static_cast<HINTERNET>(connection));
  return r;
}

bool Internet::sendRequest(InternetHandle request, const std::string& headers, const std::string& body) {
  return HttpSendRequestA(static_cast<HINTERNET>(request), orNull(headers), static_cast<DWORD>(headers.size()),
                          body.empty() ? nullptr : const_cast<char*>(body.data()),
                          static_cast<DWORD>(body.size())) != FALSE;
}

bool Internet::queryNumber(InternetHandle request, HttpQuery what, std::uint32_t& value) {
  DWORD number = 0, size = sizeof number;
  if (!HttpQueryInfoA(static_cast<HINTERNET>(request), queryLevel(what) | HTTP_QUERY_FLAG_NUMBER, &number, &size,
                      nullptr))
    return false;
  value = number;
  return true;
}

bool Internet::queryText(InternetHandle request, HttpQuery what, std::size_t bufferSize, std::string& text) {
  std::string buffer(bufferSize, '\0');
  DWORD size = static_cast<DWORD>(bufferSize);
  if (!HttpQueryInfoA(static_cast<HINTERNET>(request), queryLevel(what), buffer.data(), &size, nullptr)) return false;
  text.assign(buffer.data(), std::min<std::size_t>(size, bufferSize));
  return true;
}

bool Internet::read(InternetHandle request, char* buffer, std::uint32_t size, std::uint32_t* count) {
  static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
  return InternetReadFile(static_cast<HINTERNET>(request), buffer, size, reinterpret_cast<DWORD*>(count)) != FALSE;
}

void Internet::close(InternetHandle handle) {
  auto h = static_cast<HINTERNET>(handle);
  InternetCloseHandle(h);
  std::lock_guard<std::mutex> lock(sessions().mutex);
  sessions().sessionOf.erase(h);
  sessions().callbacks.erase(h);
}

std::uint32_t Internet::lastError() { return GetLastError(); }

bool Internet::crackUrl(const std::string& url, UrlParts& parts) {
  char scheme[32] = "", host[256] = "", user[128] = "", password[128] = "", path[2048] = "", extra[2048] = "";
  URL_COMPONENTSA c{};
  c.dwStructSize = sizeof c;
  c.lpszScheme = scheme;
  c.dwSchemeLength = sizeof scheme;
  c.lpszHostName = host;
  c.dwHostNameLength = sizeof host;
  c.lpszUserName = user;
  c.dwUserNameLength = sizeof user;
  c.lpszPassword = password;
  c.dwPasswordLength = sizeof password;
  c.lpszUrlPath = path;
  c.dwUrlPathLength = sizeof path;
  c.lpszExtraInfo = extra;
  c.dwExtraInfoLength = sizeof extra;
  if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), ICU_ESCAPE, &c)) return false;
  parts = UrlParts{scheme, host, user, password, path, extra, c.nPort};
  return true;
}

bool Internet::combineUrl(const std::string& base, const std::string& relative, std::string& url) {
  char buffer[2055];
  DWORD size = sizeof buffer;
  if (!InternetCombineUrlA(base.c_str(), relative.c_str(), buffer, &size, ICU_ENCODE_SPACES_ONLY)) return false;
  url.assign(buffer, size);
  return true;
}

std::string Internet::messageText(std::uint32_t code) {
  char buffer[256] = "";
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           GetModuleHandleA("wininet.dll"), code, 0, buffer, sizeof buffer, nullptr);
  std::string text(buffer, n);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

std::string Internet::lastResponseInfo(std::uint32_t& error) {
  char buffer[4097] = "";
  DWORD code = 0, size = sizeof buffer;
  if (!InternetGetLastResponseInfoA(&code, buffer, &size)) return "";
  error = code;
  return std::string(buffer, std::min<DWORD>(size, sizeof buffer));
}

std::uint32_t Internet::errorDialog(InternetHandle request, std::uint32_t error) {
  return InternetErrorDlg(GetDesktopWindow(), static_cast<HINTERNET>(request), error,
                          FLAGS_ERROR_UI_FILTER_FOR_ERRORS | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS |
                              FLAGS_ERROR_UI_FLAGS_GENERATE_DATA,
                          nullptr);
}

std::shared_ptr<platform::GuiThread> Internet::eventHandOver() {
  std::shared_ptr<platform::GuiThread> shared = handOver_.lock();
  if (!shared) {
    shared = std::make_shared<GuiThread>("TAdvHttpWindow", 0x8FFF);
    handOver_ = shared;
  }
  return shared;
}

}  // namespace platform::win32

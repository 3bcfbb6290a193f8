#include "update/uAdvHttp.h"
#include "update/Redirect.h"
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>

namespace update {

namespace inet = platform::inet;

namespace {

constexpr std::uint32_t ReadBlock = 16384;
constexpr std::size_t HeaderBuffer = 8192;
constexpr std::size_t MaxAcceptTypes = 100;

// One read's buffer and count. The layer may fill them after a pending read
// was abandoned, so an abandoned slot is never freed.
struct ReadSlot {
  char block[ReadBlock];
  std::uint32_t count = 0;
};

}  // namespace

// What the layer's callback threads and the worker share with the component.
// It outlives the component for as long as either still holds it.
struct TAdvHttp::Shared {
  Shared(platform::Internet& i, std::shared_ptr<platform::GuiThread> h) : internet(i), handOver(std::move(h)) {}

  platform::Internet& internet;
  std::shared_ptr<platform::GuiThread> handOver;
  TAdvHttp* owner = nullptr;  // read and cleared on the GUI thread only
  std::atomic<bool> destroying{false};
  std::atomic<bool> cancelled{false};
  std::atomic<bool> aborted{false};  // the owner called the request off: no event of it follows
  std::atomic<std::uint32_t> errorCode{0};
  std::atomic<std::uint32_t> statusCode{0};

  std::mutex mutex;
  std::condition_variable wake;
  // Guarded by the mutex.
  platform::InternetHandle request = nullptr;
  bool workerRunning = false;
  std::thread worker;
  bool completed = false;  // the asynchronous call the worker waits for has finished
  bool completedOk = false;
  std::uint32_t completedError = 0;
  std::vector<std::string> responseHeaders;

  // Set before a request starts; the worker's while it runs.
  platform::InternetHandle connection = nullptr;
  std::string requestHeaders;
  std::string requestBody;
  std::string reply;
  int retryCount = 0;
  int authRetries = 3;
  bool defaultUi = true;
  std::size_t maxReply = 0;
  bool abandonedCall = false;  // a pending call was given up when the request was cancelled

  // What each request is opened with, so that a redirect can open the next.
  platform::InternetHandle session = nullptr;
  std::string method, userName, password, url;
  std::vector<std::string> accept;
  std::uint32_t flags = 0;
  std::uintptr_t context = 0;
  std::uint32_t connectTimeout = 0;
  int redirects = 0;

  // Runs one of the owner's events on the GUI thread and waits for it; an
  // exception of the handler comes back to the caller.
  void fire(Event TAdvHttp::*event) {
    if (destroying || aborted) return;
    handOver->sendSync([this, event] {
      TAdvHttp* o = owner;
      if (!o || destroying || aborted) return;
      if (const Event& handler = o->*event) handler(*o);
    });
  }

  std::string errorText(std::uint32_t code) {
    std::string text = internet.messageText(code);
    if (code != inet::ErrorExtendedError) return text;
    std::uint32_t extended = 0;
    const std::string response = internet.lastResponseInfo(extended);
    char number[16];
    std::snprintf(number, sizeof number, "%u", extended);
    return text + "\r\nExtended error:" + number + " - " + response + "\r\n";
  }

  // A call's result: a failure other than a pending call sets the error
  // code and fires OnError; the error code is returned, 0 for success.
  std::uint32_t report(bool succeeded) {
    errorCode = 0;
    if (succeeded) return 0;
    const std::uint32_t code = internet.lastError();
    errorCode = code;
    if (code == 0 || code == inet::ErrorIoPending) return 0;
    fire(&TAdvHttp::OnError);
    return code;
  }
  // As report, and a failure is raised as EInetError.
  void check(bool succeeded) {
    if (std::uint32_t code = report(succeeded)) throw EInetError(code, errorText(code));
  }

  // Before an asynchronous call: its completion has not arrived yet.
  void expectCompletion() {
    std::lock_guard<std::mutex> lock(mutex);
    completed = false;
  }
  // Waits for the completion the callback reports; false when cancelled.
  bool awaitCompletion(bool& ok, std::uint32_t& error) {
    std::unique_lock<std::mutex> lock(mutex);
    wake.wait(lock, [this] { return completed || cancelled; });
    if (!completed) return false;
    ok = completedOk;
    error = completedError;
    return true;
  }
  // A call that may stay pending on an asynchronous session: false when it
  // failed (OnError fired) or the request was cancelled meanwhile.
  bool finish(bool result) {
    if (result) return true;
    const std::uint32_t code = internet.lastError();
    if (code != inet::ErrorIoPending) {
      errorCode = code;
      if (code != 0) fire(&TAdvHttp::OnError);
      return code == 0;
    }
    bool ok = false;
    std::uint32_t error = 0;
    if (!awaitCompletion(ok, error)) {
      abandonedCall = true;
      return false;
    }
    if (ok) return true;
    errorCode = error;
    if (error != 0 && error != inet::ErrorIoPending) fire(&TAdvHttp::OnError);
    return false;
  }

  // The connection and the request for one address; false when the layer
  // refused one of them (its error code is then the thread's last error).
  bool openRequest(const std::string& host, int port, const std::string& object, bool secure) {
    connection = internet.connect(session, host, port, "", "", 0);
    if (!connection) return false;
    internet.setOption(connection, platform::InternetOption::ConnectTimeout, connectTimeout);
    platform::InternetHandle r = internet.openRequest(connection, method, object, "", "", accept,
                                                      flags | (secure ? inet::FlagSecure : 0), context);
    if (!r) return false;
    {
      std::lock_guard<std::mutex> lock(mutex);
      request = r;
    }
    internet.setOption(connection, platform::InternetOption::UserName, userName);
    internet.setOption(connection, platform::InternetOption::Password, password);
    return true;
  }

  // A redirect reply: the request goes again to the address it names, while
  // the bound allows and the address is a web address; false when it does
  // not go (OnError has fired, unless the request was cancelled).
  bool followRedirect(std::uint32_t status) {
    std::string location;
    std::optional<std::string> next;
    if (redirects < MaxRedirects && internet.queryText(request, platform::HttpQuery::Location, HeaderBuffer, location))
      next = RedirectAddress(internet, url, location);
    platform::UrlParts parts;
    if (!next || !internet.crackUrl(*next, parts)) {
      errorCode = inet::ErrorRedirectFailed;
      fire(&TAdvHttp::OnError);
      return false;
    }
    ++redirects;
    url = *next;
    if (status == 303 || ((status == 301 || status == 302) && method == "POST")) {
      method = "GET";
      requestBody.clear();
    }
    closeRequest();
    if (cancelled) return false;
    if (report(openRequest(parts.host, parts.port, parts.path + parts.extra, IsSecureAddress(url)))) return false;
    return finish(sendRequest());
  }

  bool sendRequest() {
    expectCompletion();
    return internet.sendRequest(request, requestHeaders, requestBody);
  }

  void readHeaders() {
    std::string raw;
    const bool ok = internet.queryText(request, platform::HttpQuery::RawHeadersCrLf, HeaderBuffer, raw);
    std::vector<std::string> lines;
    if (ok) {
      std::size_t start = 0;
      while (start < raw.size()) {
        std::size_t end = raw.find("\r\n", start);
        if (end == std::string::npos) end = raw.size();
        lines.push_back(raw.substr(start, end - start));
        start = end + 2;
      }
    }
    {
      std::lock_guard<std::mutex> lock(mutex);
      responseHeaders = std::move(lines);
    }
    report(ok);
  }

  // Reads the body block by block; false when it was longer than allowed.
  bool readBody() {
    reply.clear();
    auto* slot = new ReadSlot;
    abandonedCall = false;
    bool fits = true;
    while (!cancelled) {
      expectCompletion();
      slot->count = 0;
      if (!finish(internet.read(request, slot->block, ReadBlock, &slot->count))) break;
      if (slot->count == 0) break;
      if (reply.size() + slot->count > maxReply) {
        errorCode = inet::ErrorInsufficientBuffer;
        fire(&TAdvHttp::OnError);
        fits = false;
        break;
      }
      reply.append(slot->block, slot->count);
    }
    if (!abandonedCall) delete slot;
    return fits;
  }

  void closeRequest() {
    platform::InternetHandle r = nullptr;
    {
      std::lock_guard<std::mutex> lock(mutex);
      std::swap(r, request);
    }
    if (r) internet.close(r);
    if (connection) internet.close(connection);
    connection = nullptr;
  }

  // The reply: answers an authentication challenge, then reads headers and
  // body and reports the whole reply.
  void handleResponse() {
    for (;;) {
      std::uint32_t status = 0;
      const bool queried = internet.queryNumber(request, platform::HttpQuery::StatusCode, status);
      if (queried) statusCode = status;
      report(queried);
      if (queried && IsRedirectStatus(status)) {
        if (!followRedirect(status)) return;
        continue;
      }
      const bool needed = queried && (status == 401 || status == 407);
      if (!needed) {
        readHeaders();
        const bool whole = readBody();
        if (whole && errorCode != inet::ErrorOperationCancelled && !cancelled) fire(&TAdvHttp::OnRequestComplete);
        return;
      }
      bool abandoned = retryCount >= authRetries;
      if (!abandoned && defaultUi) {
        const std::uint32_t answer = internet.errorDialog(request, errorCode);
        abandoned = answer == 0 || answer == inet::ErrorCancelled;
      }
      if (abandoned) {
        errorCode = inet::ErrorOperationCancelled;
        fire(&TAdvHttp::OnError);
        return;
      }
      ++retryCount;
      if (cancelled) return;
      if (!finish(sendRequest())) return;
    }
  }

  // On the worker thread: the reply, then the request's handles closed.
  static void work(std::shared_ptr<Shared> self) {
    try {
      self->handleResponse();
    } catch (...) {
      // An event handler's error ends the reading; it goes no further.
    }
    self->closeRequest();
    std::lock_guard<std::mutex> lock(self->mutex);
    self->cancelled = false;
    self->workerRunning = false;
    self->wake.notify_all();
  }

  // On the layer's callback threads.
  void notified(const platform::InternetStatus& s) {
    if (s.status == inet::StatusSendingRequest) {
      try {
        fire(&TAdvHttp::OnSendingRequest);
      } catch (...) {
        // An error of the handler cannot travel back into the HTTP layer.
      }
      return;
    }
    if (s.status != inet::StatusRequestComplete) return;
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (s.handle != request || destroying || aborted) return;  // an abandoned request
      if (workerRunning) {
        completed = true;
        completedOk = s.succeeded;
        completedError = s.error;
        wake.notify_all();
        return;
      }
      if (s.succeeded) {
        if (worker.joinable()) worker.join();  // the previous reply's worker, already ended
        workerRunning = true;
        worker = std::thread(&Shared::work, selfRef.lock());
        return;
      }
    }
    errorCode = s.error;
    if (s.error != 0 && s.error != inet::ErrorIoPending) {
      try {
        fire(&TAdvHttp::OnError);
      } catch (...) {
        // As above.
      }
    }
  }

  std::weak_ptr<Shared> selfRef;
};

TAdvHttp::TAdvHttp(platform::Internet& internet)
    : internet_(internet),
      handOver_(internet.eventHandOver()),
      shared_(std::make_shared<Shared>(internet, handOver_)),
      flags_(DefaultInternetFlags()),
      requestFlags_(RequestFlagsOf(flags_)) {
  shared_->owner = this;
  shared_->selfRef = shared_;
}

TAdvHttp::~TAdvHttp() {
  shared_->destroying = true;
  endWorker();
  shared_->owner = nullptr;
  shared_->closeRequest();
  closeSession();
}

void TAdvHttp::endWorker() {
  Shared& s = *shared_;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.workerRunning && !s.worker.joinable()) return;
    s.cancelled = true;
    s.wake.notify_all();
  }
  // The worker may be handing an event over: serve it while waiting.
  handOver_->serveUntil([&s] {
    std::lock_guard<std::mutex> lock(s.mutex);
    return !s.workerRunning;
  });
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.worker.joinable()) s.worker.join();
}

void TAdvHttp::Abort() {
  shared_->aborted = true;
  endWorker();
  shared_->closeRequest();
}

void TAdvHttp::openSession() {
  session_ = internet_.open(userAgent_, proxy_, openFlags_);
  shared_->check(session_ != nullptr);
  const std::uintptr_t self = reinterpret_cast<std::uintptr_t>(this);
  std::weak_ptr<Shared> weak = shared_;
  internet_.setStatusCallback(session_, [weak, self](const platform::InternetStatus& s) {
    if (s.context != self) return;  // the connection's notifications carry no context
    if (std::shared_ptr<Shared> shared = weak.lock()) shared->notified(s);
  });
}

void TAdvHttp::closeSession() {
  if (!session_) return;
  internet_.setStatusCallback(session_, {});
  internet_.close(session_);
  session_ = nullptr;
}

void TAdvHttp::reopenSession() {
  if (!session_) return;
  closeSession();
  openSession();
}

void TAdvHttp::setUserAgent(const std::string& agent) {
  userAgent_ = agent;
  reopenSession();
}

void TAdvHttp::setProxy(const std::string& proxy) {
  proxy_ = proxy;
  reopenSession();
}

void TAdvHttp::setUserName(const std::string& name) {
  userName_ = name;
  if (shared_->connection) internet_.setOption(shared_->connection, platform::InternetOption::UserName, name);
}

void TAdvHttp::setPassword(const std::string& password) {
  password_ = password;
  if (shared_->connection) internet_.setOption(shared_->connection, platform::InternetOption::Password, password);
}

void TAdvHttp::setProxyUserName(const std::string& name) {
  if (shared_->connection) internet_.setOption(shared_->connection, platform::InternetOption::ProxyUserName, name);
}

void TAdvHttp::setProxyPassword(const std::string& password) {
  if (shared_->connection)
    internet_.setOption(shared_->connection, platform::InternetOption::ProxyPassword, password);
}

void TAdvHttp::setURL(const std::string& url) { SplitURL(url); }

void TAdvHttp::SplitURL(const std::string& url) {
  const std::string previous = url_;
  url_ = url;
  platform::UrlParts parts;
  const bool cracked = internet_.crackUrl(url, parts);
  if (!cracked) url_ = previous;
  shared_->check(cracked);
  hostName_ = parts.host;
  urlPath_ = parts.path;
  extraInfo_ = parts.extra;
  if (parts.scheme == "https") {
    ssl_ = true;
  } else if (parts.scheme != "http") {
    url_ = previous;
    throw EInetError(0, "Invalid protocol");
  }
  port_ = parts.port == 0 ? 80 : parts.port;
  if (!parts.user.empty()) userName_ = parts.user;
  if (!parts.password.empty()) password_ = parts.password;
}

void TAdvHttp::ComposeURL() {
  std::string base = ssl_ ? "https://" : "http://";
  base += hostName_;
  // Port 80 goes without saying only for http: left out of an https
  // address it would read as 443.
  if (port_ != 80 || ssl_) base += ":" + std::to_string(port_);
  std::string url;
  shared_->check(internet_.combineUrl(base, urlPath_ + extraInfo_, url));
  url_ = url;
}

void TAdvHttp::setPart(std::string& part, const std::string& value) {
  const std::string previous = part;
  part = value;
  try {
    ComposeURL();
  } catch (...) {
    part = previous;
    throw;
  }
}

void TAdvHttp::setHostName(const std::string& host) { setPart(hostName_, host); }
void TAdvHttp::setURLPath(const std::string& path) { setPart(urlPath_, path); }

void TAdvHttp::setExtraInfo(const std::string& extra) {
  const bool marked = extra.empty() || extra[0] == '?' || extra[0] == '#';
  setPart(extraInfo_, marked ? extra : "?" + extra);
}

void TAdvHttp::setPort(int port) {
  port_ = port;
  ComposeURL();
}

void TAdvHttp::setSSL(bool ssl) {
  ssl_ = ssl;
  ComposeURL();
}

void TAdvHttp::setInternetFlags(const TInternetFlags& flags) {
  flags_ = flags;
  requestFlags_ = RequestFlagsOf(flags);
}

std::string TAdvHttp::Text() const {
  const std::string& reply = shared_->reply;
  return reply.substr(0, reply.find('\0'));
}

void TAdvHttp::setText(const std::string& body) { shared_->requestBody = body; }

std::uint32_t TAdvHttp::ErrorCode() const { return shared_->errorCode; }
std::uint32_t TAdvHttp::StatusCode() const { return shared_->statusCode; }

std::vector<std::string> TAdvHttp::ResponseHeaders() const {
  std::lock_guard<std::mutex> lock(shared_->mutex);
  return shared_->responseHeaders;
}

bool TAdvHttp::StartRequest(bool Synchronous) {
  Shared& s = *shared_;
  endWorker();
  s.closeRequest();  // a request that failed left its handles
  openFlags_ = Synchronous ? 0 : inet::FlagAsync;
  s.cancelled = false;
  s.aborted = false;
  s.reply.clear();
  s.retryCount = 0;
  s.authRetries = AuthRetries;
  s.defaultUi = DefaultUi;
  s.maxReply = MaxReplySize;
  s.requestHeaders.clear();
  for (const std::string& line : RequestHeaders) s.requestHeaders += line + "\r\n";
  s.method = Method;
  s.userName = userName_;
  s.password = password_;
  s.url = url_;
  s.redirects = 0;
  s.accept.clear();
  for (const std::string& type : AcceptTypes) {
    if (type.empty() || s.accept.size() == MaxAcceptTypes) break;
    s.accept.push_back(type);
  }
  s.flags = requestFlags_ | inet::FlagNoAutoRedirect;
  s.context = reinterpret_cast<std::uintptr_t>(this);
  s.connectTimeout = static_cast<std::uint32_t>(ConnectTimeout);
  try {
    if (!session_) openSession();
    s.session = session_;
    s.check(s.openRequest(hostName_, port_, urlPath_ + extraInfo_, ssl_));
    s.check(s.sendRequest());
    if (Synchronous) {
      s.handleResponse();
      s.closeRequest();
    }
    return true;
  } catch (const EInetError&) {
    if (RaiseExceptions) throw;
    return false;
  }
}

}  // namespace update

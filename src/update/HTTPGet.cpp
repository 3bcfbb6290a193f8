#include "update/HTTPGet.h"
#include "update/Redirect.h"
#include <cctype>
#include <limits>
#include <optional>
#include <thread>

namespace update {

namespace {

constexpr std::uint32_t Block = 1025;
constexpr std::size_t LengthBuffer = 1024;
const char FormContentType[] = "Content-Type: application/x-www-form-urlencoded";

}  // namespace

DownloadTarget SplitDownloadURL(const std::string& url) {
  std::string rest = url;
  std::string lower = url;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  DownloadTarget t;
  if (IsSecureAddress(url)) {
    rest.erase(0, 8);
    t.secure = true;
    t.port = 443;
  } else if (lower.find("http://") != std::string::npos) {
    rest.erase(0, 7);
  }
  const std::size_t slash = rest.find('/');
  if (slash == std::string::npos) {
    t.object = rest;
    return t;
  }
  t.host = rest.substr(0, slash);
  t.object = rest.substr(slash);
  const std::size_t colon = t.host.rfind(':');
  if (colon != std::string::npos && colon + 1 < t.host.size() && t.host.size() - colon <= 6) {
    int port = 0;
    bool digits = true;
    for (std::size_t i = colon + 1; i < t.host.size(); ++i) {
      if (!std::isdigit(static_cast<unsigned char>(t.host[i]))) digits = false;
      else port = port * 10 + (t.host[i] - '0');
    }
    if (digits && port > 0 && port <= 65535) {
      t.port = port;
      t.host.erase(colon);
    }
  }
  return t;
}

bool ParseContentLength(const std::string& text, std::int64_t& length) {
  if (text.empty()) return false;
  std::int64_t value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    const int digit = c - '0';
    if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10) return false;
    value = value * 10 + digit;
  }
  length = value;
  return true;
}

THTTPGet::THTTPGet(platform::Internet& internet, platform::Files& files, platform::GuiThread& gui)
    : internet_(internet), files_(files), gui_(gui) {}

THTTPGet::~THTTPGet() {
  CancelDownload();
  if (worker_) worker_->owner_ = nullptr;
}

void THTTPGet::StartDownload() {
  if (worker_) return;
  worker_ = std::make_shared<THTTPGetThread>(*this, internet_, files_, gui_);
  THTTPGetThread::Start(worker_);
  if (WaitThread) gui_.serveUntil([this] { return worker_ == nullptr; });
}

void THTTPGet::CancelDownload() {
  if (!worker_) return;
  worker_->Terminate();
  worker_->Succeeded = false;
}

void THTTPGet::DownloadFinished(THTTPGetThread& worker) {
  succeeded_ = worker.Succeeded;
  if (succeeded_) {
    if (OnDoneFile) OnDoneFile(*this, worker.fileName_, worker.FileSize);
  } else if (OnError) {
    OnError(*this);
  }
  if (worker_.get() == &worker) worker_.reset();
}

THTTPGetThread::THTTPGetThread(THTTPGet& owner, platform::Internet& internet, platform::Files& files,
                               platform::GuiThread& gui)
    : owner_(&owner),
      internet_(internet),
      files_(files),
      gui_(gui),
      acceptTypes_(owner.AcceptTypes),
      agent_(owner.Agent),
      url_(owner.URL),
      fileName_(owner.FileName),
      userName_(owner.UserName),
      password_(owner.Password),
      postQuery_(owner.PostQuery),
      referer_(owner.Referer),
      binaryData_(owner.BinaryData),
      useCache_(owner.UseCache),
      maxFileSize_(owner.MaxFileSize),
      onProgress_(owner.OnProgress) {}

void THTTPGetThread::Start(const std::shared_ptr<THTTPGetThread>& self) {
  std::thread([self] {
    self->Execute();
    try {
      self->gui_.sendSync([&self] {
        if (THTTPGet* owner = self->owner_) owner->DownloadFinished(*self);
      });
    } catch (...) {
      // The outcome's handler failed; it has been handled as far as it got.
    }
    // Only after the outcome: closing a reply that was refused unread may
    // take the HTTP layer a while (Wine reads the rest to reuse the
    // connection), and the window does not wait for that.
    self->closeHandles();
  }).detach();
}

bool THTTPGetThread::request(platform::InternetHandle session, platform::InternetHandle& connection,
                             platform::InternetHandle& request) {
  std::string url = url_;
  std::string verb = postQuery_.empty() ? "GET" : "POST";
  for (int redirects = 0;; ++redirects) {
    const DownloadTarget target = SplitDownloadURL(url);
    connection = internet_.connect(session, target.host, target.port, userName_, password_, 0);
    const std::uint32_t flags = (useCache_ ? 0 : platform::inet::FlagReload) | platform::inet::FlagNoAutoRedirect |
                                (target.secure ? platform::inet::FlagSecure : 0);
    request = internet_.openRequest(connection, verb, target.object, "HTTP/1.0", referer_,
                                    {"Accept: " + acceptTypes_}, flags, 0);
    if (verb == "POST")
      internet_.sendRequest(request, FormContentType, postQuery_);
    else
      internet_.sendRequest(request, "", "");
    std::uint32_t status = 0;
    if (stop_ || !internet_.queryNumber(request, platform::HttpQuery::StatusCode, status) || !IsRedirectStatus(status))
      return !stop_;
    std::string location;
    std::optional<std::string> next;
    if (redirects < MaxRedirects &&
        internet_.queryText(request, platform::HttpQuery::Location, LengthBuffer, location))
      next = RedirectAddress(internet_, url, location);
    internet_.close(request);
    internet_.close(connection);
    request = connection = nullptr;
    if (!next) return false;
    url = *next;
    if (status == 303 || status == 301 || status == 302) verb = "GET";
  }
}

void THTTPGetThread::Execute() {
  if (stop_) {
    Succeeded = false;
    return;
  }
  bool created = false;
  try {
    session_ = internet_.open(agent_, "", 0);
    bool ok = request(session_, connection_, request_);
    if (ok && !stop_) {
      std::string length;
      lengthKnown_ = internet_.queryText(request_, platform::HttpQuery::ContentLength, LengthBuffer, length);
      if (lengthKnown_)
        ok = ParseContentLength(length, FileSize) && FileSize <= maxFileSize_;
      else
        ok = !binaryData_;
    }
    if (ok && !stop_) {
      std::unique_ptr<platform::FileWriter> file = files_.createFile(fileName_);
      created = file != nullptr;
      ok = file && download(request_, *file) && FileSize == BytesRead;
    }
    Succeeded = ok && !stop_;
  } catch (...) {
    // A progress handler's error ends the download.
    Succeeded = false;
  }
  // Part of a file is of no use to anyone: a download that did not end whole
  // leaves nothing behind, whenever it ended.
  if (created && !Succeeded) files_.deleteFile(fileName_);
}

void THTTPGetThread::closeHandles() {
  if (request_) internet_.close(request_);
  if (connection_) internet_.close(connection_);
  if (session_) internet_.close(session_);
  request_ = connection_ = session_ = nullptr;
}

// Reads block after block straight into the file; false when stopped, when
// a block cannot be written, or when more arrives than was announced or
// than any file may hold.
bool THTTPGetThread::download(platform::InternetHandle request, platform::FileWriter& file) {
  BytesRead = 0;
  const std::int64_t most = lengthKnown_ ? FileSize : maxFileSize_;
  char block[Block];
  for (;;) {
    if (stop_) return false;
    std::uint32_t count = 0;
    if (!internet_.read(request, block, Block, &count) || count == 0) return true;
    if (BytesRead + count > most) return false;
    if (!file.write(block, count)) return false;
    BytesRead += count;
    if (onProgress_)
      gui_.sendSync([this] {
        if (owner_ && !stop_) onProgress_(*this, FileSize, BytesRead);
      });
  }
}

}  // namespace update

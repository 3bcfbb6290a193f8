// THTTPGet: downloads one HTTP resource into a local file on a worker thread
// of its own (THTTPGetThread), which uses the HTTP layer synchronously and
// hands progress and the outcome to the GUI thread, waiting for each.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include "platform/Files.h"
#include "platform/GuiThread.h"
#include "platform/Internet.h"

namespace update {

class THTTPGet;
class THTTPGetThread;

// Where a download goes: host and object name, split as the downloader
// splits its URL. A port written after the host ("host:8631") is taken;
// without one the port is 80, or 443 for an "https://" address (which a
// redirect may lead to).
struct DownloadTarget {
  std::string host;
  int port = 80;
  std::string object;
  bool secure = false;
};
DownloadTarget SplitDownloadURL(const std::string& url);
// An announced length: decimal digits only, within 64 bits.
bool ParseContentLength(const std::string& text, std::int64_t& length);

using TOnProgress = std::function<void(THTTPGetThread& Sender, std::int64_t TotalSize, std::int64_t Readed)>;
using TOnDoneFile = std::function<void(THTTPGet& Sender, const std::string& FileName, std::int64_t FileSize)>;

class THTTPGet {
 public:
  THTTPGet(platform::Internet& internet, platform::Files& files, platform::GuiThread& gui);
  // A running download is cancelled; none of its events reach the owner.
  ~THTTPGet();
  THTTPGet(const THTTPGet&) = delete;
  THTTPGet& operator=(const THTTPGet&) = delete;

  std::string AcceptTypes = "*/*";
  std::string Agent = "Quillon HTTPGet";
  bool BinaryData = false;  // a reply without a length is a failure
  std::string URL;
  bool UseCache = false;
  std::string FileName;
  std::string UserName, Password;
  std::string PostQuery;  // not empty: the request is a POST of this form data
  std::string Referer;
  bool WaitThread = false;  // the start returns once the download has ended
  // A longer file, announced or received, fails the download.
  std::int64_t MaxFileSize = std::numeric_limits<std::int64_t>::max();
  TOnProgress OnProgress;
  TOnDoneFile OnDoneFile;
  std::function<void(THTTPGet& Sender)> OnError;

  // Ignored while a download runs.
  void StartDownload();
  void CancelDownload();
  bool Running() const { return worker_ != nullptr; }
  // The outcome of the last download.
  bool Succeeded() const { return succeeded_; }

 private:
  friend class THTTPGetThread;
  void DownloadFinished(THTTPGetThread& worker);

  platform::Internet& internet_;
  platform::Files& files_;
  platform::GuiThread& gui_;
  std::shared_ptr<THTTPGetThread> worker_;
  bool succeeded_ = false;
};

class THTTPGetThread {
 public:
  THTTPGetThread(THTTPGet& owner, platform::Internet& internet, platform::Files& files, platform::GuiThread& gui);

  std::int64_t FileSize = 0;   // announced, 0 until known
  std::int64_t BytesRead = 0;  // received so far
  std::atomic<bool> Succeeded{false};

  // Starts the worker; it holds itself until it has handed its outcome over.
  static void Start(const std::shared_ptr<THTTPGetThread>& self);
  void Terminate() { stop_ = true; }

 private:
  friend class THTTPGet;
  void Execute();
  // Sends the request, following redirects; false when none reached a reply.
  bool request(platform::InternetHandle session, platform::InternetHandle& connection,
               platform::InternetHandle& request);
  bool download(platform::InternetHandle request, platform::FileWriter& file);
  void closeHandles();

  THTTPGet* owner_;  // read and cleared on the GUI thread only
  platform::Internet& internet_;
  platform::Files& files_;
  platform::GuiThread& gui_;
  std::atomic<bool> stop_{false};
  std::string acceptTypes_, agent_, url_, fileName_, userName_, password_, postQuery_, referer_;
  bool binaryData_, useCache_;
  std::int64_t maxFileSize_;
  bool lengthKnown_ = false;
  platform::InternetHandle session_ = nullptr, connection_ = nullptr, request_ = nullptr;
  TOnProgress onProgress_;
};

}  // namespace update

#include "update/file_downloader.h"

#include "update/method_thunk.h"
#include "update/staging_buffer.h"

namespace {

constexpr const wchar_t* kUserAgent =
    L"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    L"Chrome/76.0.3809.132 Safari/537.36";
constexpr const wchar_t* kRangeHeader = L"Range:bytes=0-";

std::wstring WideFromText(const Text& text) {
  const int length = ::MultiByteToWideChar(ProcessCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(ProcessCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

// The Content-Length header as a number; 0 when there is none or it is not one.
std::int64_t ContentLength(HINTERNET request) noexcept {
  wchar_t text[32] = {};
  DWORD size = sizeof text;
  if (!::WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, text, &size,
                             WINHTTP_NO_HEADER_INDEX)) {
    return 0;
  }
  std::int64_t value = 0;
  for (const wchar_t* c = text; *c; ++c) {
    if (*c < L'0' || *c > L'9' || value > (INT64_MAX - 9) / 10) return 0;
    value = value * 10 + (*c - L'0');
  }
  return value;
}

bool IsSuccessStatus(HINTERNET request) noexcept {
  DWORD status = 0;
  DWORD size = sizeof status;
  return ::WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX) &&
         status >= 200 && status <= 299;
}

}  // namespace

FileDownloader::~FileDownloader() { Stop(); }

bool FileDownloader::CrackAddress(const Text& url, Address& address) {
  const std::wstring wide = WideFromText(url);
  if (wide.empty()) return false;
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!::WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts)) return false;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return false;
  if (!parts.lpszHostName || parts.dwHostNameLength == 0) return false;
  address.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  address.port = parts.nPort;
  address.object.assign(parts.lpszUrlPath ? parts.lpszUrlPath : L"", parts.lpszUrlPath ? parts.dwUrlPathLength : 0);
  if (address.object.empty()) address.object = L"/";
  if (parts.lpszExtraInfo) address.object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  address.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  return true;
}

HANDLE FileDownloader::Start(const Text& url, const Text& targetPath, DownloadCallback callback, std::int32_t taskId,
                             HANDLE finishedEvent) noexcept {
  if (transferThread_) {
    // A transfer that reached its end is only finishing its thread; one that
    // still runs, or a call from its own Finished callback, is refused.
    if (result_ == DownloadResult::Running || ::GetCurrentThreadId() == transferThreadId_) return nullptr;
    ::WaitForSingleObject(transferThread_.get(), INFINITE);
    transferThread_.reset();
  }
  Address address;
  if (url.empty() || targetPath.empty() || !CrackAddress(url, address)) return nullptr;
  address_ = std::move(address);
  targetPath_ = targetPath;
  callback_ = callback;
  taskId_ = taskId;
  finishedEvent_ = finishedEvent;
  stopRequested_ = false;
  totalSize_ = 0;
  startTick_ = 0;
  bodyStarted_ = false;
  {
    LockHolder held(counterLock_);
    received_ = 0;
    sampledReceived_ = 0;
    sampled_ = false;
  }
  sampler_.Clear();
  result_ = DownloadResult::Running;
  transferThread_.reset(::CreateThread(nullptr, 0, &MethodThunk<FileDownloader, &FileDownloader::Transfer>, this, 0,
                                       &transferThreadId_));
  if (!transferThread_) result_ = DownloadResult::None;
  return transferThread_.get();
}

void FileDownloader::Stop() noexcept {
  if (!transferThread_) return;
  stopRequested_ = true;
  {
    LockHolder held(requestLock_);
    request_.reset();
  }
  // The Finished callback runs on the transfer thread; from there the thread
  // ends by itself once the callback returns.
  if (::GetCurrentThreadId() == transferThreadId_) return;
  ::WaitForSingleObject(transferThread_.get(), INFINITE);
  transferThread_.reset();
}

DWORD FileDownloader::Transfer() noexcept {
  const bool succeeded = Open() && OpenTarget() && ReceiveBody();
  End(succeeded);
  return succeeded ? 1 : 0;
}

bool FileDownloader::Open() noexcept {
  if (!::WinHttpCheckPlatform()) return false;
  session_.reset(::WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session_) return false;
  connection_.reset(::WinHttpConnect(session_.get(), address_.host.c_str(), address_.port, 0));
  if (!connection_) return false;
  {
    LockHolder held(requestLock_);
    if (stopRequested_) return false;
    request_.reset(::WinHttpOpenRequest(connection_.get(), L"GET", address_.object.c_str(), L"HTTP/1.1",
                                        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                        address_.secure ? WINHTTP_FLAG_SECURE : 0));
    activeRequest_ = request_.get();
  }
  if (!activeRequest_) return false;
  DWORD disabled = WINHTTP_DISABLE_COOKIES;
  if (!::WinHttpSetOption(activeRequest_, WINHTTP_OPTION_DISABLE_FEATURE, &disabled, sizeof disabled)) return false;
  if (!::WinHttpSendRequest(activeRequest_, kRangeHeader, static_cast<DWORD>(-1), WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !::WinHttpReceiveResponse(activeRequest_, nullptr) || !IsSuccessStatus(activeRequest_)) {
    return false;
  }
  totalSize_ = ContentLength(activeRequest_);
  // An empty body is no download.
  return ::WinHttpQueryDataAvailable(activeRequest_, &firstAvailable_) && firstAvailable_ > 0 && !stopRequested_;
}

bool FileDownloader::OpenTarget() noexcept {
  // Another downloader writing the same target keeps us out: it shares the
  // file for reading only.
  file_.reset(::CreateFileA(targetPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file_) return false;
  // Nothing of an older file may stay behind the new body.
  if (!::SetEndOfFile(file_.get())) {
    file_.reset();
    ::DeleteFileA(targetPath_.c_str());
    return false;
  }
  return true;
}

bool FileDownloader::ReceiveBody() noexcept {
  StagingBuffer buffer;
  if (!buffer.Create()) return false;
  startTick_ = ::GetTickCount();
  {
    LockHolder held(counterLock_);
    sampledTick_ = startTick_;
  }
  bodyStarted_ = true;
  if (callback_) {
    (void)ticker_.Start(&MethodThunk<FileDownloader, &FileDownloader::ReportProgress>, kProgressIntervalMs,
                        kFirstProgressMs, this);
    LaunchReport(DownloadEventKind::Started);
  }
  DWORD available = firstAvailable_;
  std::int64_t received = 0;
  while (available > 0) {
    if (stopRequested_) return false;
    BYTE* chunk = buffer.Reserve(file_.get(), available);
    DWORD read = 0;
    if (!chunk || !::WinHttpReadData(activeRequest_, chunk, available, &read)) return false;
    buffer.Commit(read);
    received += read;
    {
      LockHolder held(counterLock_);
      received_ = received;
    }
    if (!::WinHttpQueryDataAvailable(activeRequest_, &available)) return false;
  }
  // WinHTTP reports the end of a body that the server cut short like any
  // other end: only its length tells.
  return buffer.Flush(file_.get()) && (totalSize_ == 0 || received == totalSize_) && !stopRequested_;
}

void FileDownloader::End(bool succeeded) noexcept {
  if (callback_) {
    (void)ticker_.Stop(INFINITE);
    if (!succeeded) LaunchReport(DownloadEventKind::Failed);
    (void)eventThreads_.WaitIdle();
  }
  const bool fileOpened = file_.valid();
  file_.reset();
  if (!succeeded && fileOpened) ::DeleteFileA(targetPath_.c_str());
  {
    LockHolder held(requestLock_);
    request_.reset();
    activeRequest_ = nullptr;
  }
  connection_.reset();
  session_.reset();
  result_ = succeeded ? DownloadResult::Succeeded : DownloadResult::Failed;
  if (callback_) Report(DownloadEventKind::Finished, succeeded);
  if (finishedEvent_) ::SetEvent(finishedEvent_);
}

void FileDownloader::LaunchReport(DownloadEventKind kind) noexcept {
  switch (kind) {
    case DownloadEventKind::Started:
      (void)eventThreads_.Launch(&MethodThunk<FileDownloader, &FileDownloader::ReportStarted>, this);
      break;
    case DownloadEventKind::Failed:
      (void)eventThreads_.Launch(&MethodThunk<FileDownloader, &FileDownloader::ReportFailed>, this);
      break;
    default:
      break;
  }
}

DWORD FileDownloader::ReportStarted() noexcept {
  Report(DownloadEventKind::Started);
  return 0;
}

DWORD FileDownloader::ReportProgress() noexcept {
  Report(DownloadEventKind::Progress);
  return 0;
}

DWORD FileDownloader::ReportFailed() noexcept {
  Report(DownloadEventKind::Failed);
  return 0;
}

void FileDownloader::Report(DownloadEventKind kind, bool succeeded) noexcept {
  const DWORD now = ::GetTickCount();
  DownloadEventRecord record;
  record.taskId = taskId_;
  record.kind = kind;
  record.totalSize = totalSize_;
  record.elapsedMs = bodyStarted_ ? static_cast<std::int32_t>(now - startTick_) : 0;
  record.targetPath = targetPath_;
  record.succeeded = succeeded;

  // Progress reports sample the speed since the previous sample over the
  // time that really passed; the other reports only read the mean.
  float sample = -1.0f;
  bool sampled = false;
  {
    LockHolder held(counterLock_);
    record.received = received_;
    const DWORD span = now - sampledTick_;
    if (kind == DownloadEventKind::Progress && bodyStarted_ && span > 0) {
      sample = static_cast<float>(received_ - sampledReceived_) / 1024.0f / (static_cast<float>(span) / 1000.0f);
      sampledReceived_ = received_;
      sampledTick_ = now;
      sampled_ = true;
    }
    sampled = sampled_;
  }
  if (sample >= 0.0f) sampler_.Add(sample);

  if (totalSize_ > 0) {
    record.remaining = totalSize_ > record.received ? totalSize_ - record.received : 0;
    record.fraction = static_cast<float>(static_cast<double>(record.received) / static_cast<double>(totalSize_));
  }
  if (record.received > 0) {
    if (sampled) {
      record.speed = sampler_.Average();
    } else if (record.elapsedMs > 0) {
      record.speed = static_cast<float>(record.received) / 1024.0f / (static_cast<float>(record.elapsedMs) / 1000.0f);
    }
  }
  callback_(record);
}

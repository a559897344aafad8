#include "web/FetchUrl.h"

#include <cstring>
#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

#include "base/ProgramFolder.h"
#include "web/CrLfLines.h"
#include "web/DownloadToFile.h"

namespace quorvane {

namespace {

constexpr char kWorkingFile[] = "test.html";
constexpr char kConnectionError[] = "Connection error, check if you are connected and url exists.";

// The working file lives only as long as one fetch, whatever its outcome.
class RemoveOnExit {
 public:
  explicit RemoveOnExit(std::filesystem::path path) : path_(std::move(path)) {}
  RemoveOnExit(const RemoveOnExit&) = delete;
  RemoveOnExit& operator=(const RemoveOnExit&) = delete;
  ~RemoveOnExit() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }

 private:
  std::filesystem::path path_;
};

// Once the status shows the request, an error that escapes the client (an
// allocation failure, an error out of a nested command) still closes the
// connection and replaces "Getting URL: ..." with the failure text on its
// way to the caller; the download removes its file by itself.
class FailOnError {
 public:
  explicit FailOnError(HttpClient& http) : http_(http) {}
  FailOnError(const FailOnError&) = delete;
  FailOnError& operator=(const FailOnError&) = delete;
  ~FailOnError() {
    if (!armed_ || std::uncaught_exceptions() <= errorsBefore_) return;
    http_.Disconnect();
    try {
      http_.Host().ShowMainStatus(kConnectionError);
    } catch (...) {  // the error on its way out is the one to report
    }
  }

  void Arm() { armed_ = true; }

 private:
  HttpClient& http_;
  int errorsBefore_ = std::uncaught_exceptions();
  bool armed_ = false;
};

}  // namespace

bool FetchUrl(HttpClient& http, const std::string& url, std::string& page) {
  FetchHost& host = http.Host();
  if (host.AbortRequested()) return false;
  // A fetch started from a message pump inside another one would replace
  // the working file under the running fetch: refuse it, touching nothing.
  if (http.Busy()) return false;

  page.clear();
  const auto path = ProgramFile(kWorkingFile);
  FailOnError failOnError(http);
  // The body is kept as it is written: reading the working file back would
  // give the same bytes again.
  std::string body;
  const FileDownload download = DownloadToFile(
      http, url, path,
      [&] {
        failOnError.Arm();
        host.ShowMainStatus("Getting URL: " + url + "...");
        host.Work(0);
      },
      &body);
  if (download.createError) {
    host.ShowMainStatus("Cannot create the working file " + path.string() + ": " +
                        std::strerror(download.createError.value()));
    return false;
  }
  const RemoveOnExit cleanup(path);

  if (download.complete) {
    if (host.AbortRequested()) {
      host.ShowMainStatus("Process aborted!");
      return false;
    }
    AppendCrLfLines(body, page);
    host.ShowMainStatus("Process completed sucessfull!");
    return true;
  }
  // A failure for the sake of security has said why, naming the host.
  if (http.SecurityFailure().empty()) host.ShowMainStatus(kConnectionError);
  return false;
}

}  // namespace quorvane

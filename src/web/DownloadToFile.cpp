#include "web/DownloadToFile.h"

#include <memory>
#include <string_view>

#include "base/FileError.h"
#include "base/FileOutBuf.h"
#include "web/HttpClient.h"

namespace quorvane {

namespace {

// Whatever way the download ends: the file is closed, then the connection,
// and unless the whole body arrived the partial file goes.
class ReleaseOnExit {
 public:
  ReleaseOnExit(HttpClient& http, FileOutBuf& file, const std::filesystem::path& path)
      : http_(http), file_(file), path_(path) {}
  ReleaseOnExit(const ReleaseOnExit&) = delete;
  ReleaseOnExit& operator=(const ReleaseOnExit&) = delete;
  ~ReleaseOnExit() {
    file_.Close();
    http_.Disconnect();
    if (complete_) return;
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }

  void Complete() { complete_ = true; }

 private:
  HttpClient& http_;
  FileOutBuf& file_;
  const std::filesystem::path& path_;
  bool complete_ = false;
};

}  // namespace

FileDownload DownloadToFile(HttpClient& http, const std::string& url,
                            const std::filesystem::path& path,
                            const std::function<void()>& beforeRequest, std::string* copy) {
  FileDownload result;
  if (copy != nullptr) copy->clear();
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  std::unique_ptr<FileOutBuf> file;
  try {
    file = FileOutBuf::Create(path);
  } catch (const FileError& error) {
    result.createError = error.code();
    return result;
  }
  ReleaseOnExit release(http, *file, path);

  if (beforeRequest) beforeRequest();
  http.Host().ProcessMessages();
  const bool received = http.Get(
      url,
      [&file, copy](std::string_view piece) {
        const auto size = static_cast<std::streamsize>(piece.size());
        if (file->sputn(piece.data(), size) != size) return false;
        if (copy != nullptr) copy->append(piece);
        return true;
      },
      HttpClient::After::kClose);
  const bool written = file->Close();
  if (received && written) {
    release.Complete();
    result.complete = true;
  } else if (copy != nullptr) {
    copy->clear();
  }
  return result;
}

}  // namespace quorvane

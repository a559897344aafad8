#include "publisher/DownloadToFile.h"

#include <fstream>

#include "web/HttpClient.h"

namespace quorvane {

namespace {

// Whatever way the download ends, an error escaping the client included:
// the connection is closed, and unless the whole body arrived the partial
// file goes.
class ReleaseOnExit {
 public:
  ReleaseOnExit(HttpClient& client, std::ofstream& file, const std::filesystem::path& path)
      : client_(client), file_(file), path_(path) {}
  ReleaseOnExit(const ReleaseOnExit&) = delete;
  ReleaseOnExit& operator=(const ReleaseOnExit&) = delete;
  ~ReleaseOnExit() {
    file_.close();
    client_.Disconnect();
    if (complete_) return;
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }

  void Complete() { complete_ = true; }

 private:
  HttpClient& client_;
  std::ofstream& file_;
  const std::filesystem::path& path_;
  bool complete_ = false;
};

}  // namespace

bool DownloadToFile(HttpClient& client, const std::string& url, const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  ReleaseOnExit release(client, file, path);

  client.Host().ProcessMessages();
  const bool received = client.Get(url, [&file](std::string_view piece) {
    file.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    return static_cast<bool>(file);
  });
  file.close();
  if (!received || file.fail()) return false;
  release.Complete();
  return true;
}

}  // namespace quorvane

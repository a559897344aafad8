#include "publisher/DownloadToFile.h"

#include <fstream>

#include "web/HttpClient.h"

bool DownloadToFile(HttpClient& client, const std::string& url, const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;

  client.Host().ProcessMessages();
  bool ok = client.Get(url, [&file](std::string_view piece) {
    file.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    return static_cast<bool>(file);
  });
  file.close();
  ok = ok && !file.fail();
  client.Disconnect();
  if (!ok) std::filesystem::remove(path, ignored);
  return ok;
}

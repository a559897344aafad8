#pragma once

#include <filesystem>
#include <string>

namespace quorvane {

class HttpClient;

// GETs `url` through the client into the file `path`, replacing it. True
// when the whole body arrived and was written. On any failure (the file
// cannot be created, no connection, an HTTP error status, an abort) the
// partial file is deleted and the result is false. The client's
// connection is closed in every case.
bool DownloadToFile(HttpClient& client, const std::string& url, const std::filesystem::path& path);

}  // namespace quorvane

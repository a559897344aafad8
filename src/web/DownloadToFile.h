#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

namespace quorvane {

class HttpClient;

// What became of a download into a file.
struct FileDownload {
  // Why the file could not be created; then nothing was asked for.
  std::error_code createError;
  // The whole body arrived and is in the file.
  bool complete = false;
};

// GETs `url` through `http` into the file `path`: an existing file of that
// name is deleted first (a link is not written through), then the file is
// created and the body written into it as it arrives. Once the file is
// open, `beforeRequest` runs (the caller's status texts) and the host's
// messages are pumped once, and only then is the request made. However the
// download ends, an error escaping the client or `beforeRequest` included,
// the file is closed and then the client's connection; unless the whole
// body arrived and was written, the file is deleted. Given `copy`, the
// body also goes there as it is written, so a caller that wants it back
// need not read the file again.
FileDownload DownloadToFile(HttpClient& http, const std::string& url,
                            const std::filesystem::path& path,
                            const std::function<void()>& beforeRequest = {},
                            std::string* copy = nullptr);

}  // namespace quorvane

#pragma once

#include <string>

#include "web/HttpClient.h"

namespace quorvane {

// Downloads one URL through `http` into `page`, with the status texts,
// gauge and abort flag of http.Host(). The body is staged, as it arrives,
// in the working file "test.html" of the program folder (through
// DownloadToFile, so a file of that name is replaced, never written
// through), read back as text lines (each followed by CR LF, up to the
// first NUL byte) and the file deleted.
// True when the page arrived complete and was not aborted; on false the
// page is empty, except when the abort flag is already set on entry or
// another request is running on `http` (a fetch started from inside a
// running one): then nothing is done and the page is left as it was.
bool FetchUrl(HttpClient& http, const std::string& url, std::string& page);

}  // namespace quorvane

#pragma once

#include <curl/curl.h>

#include <memory>

namespace quorvane {

// Move-only owners of libcurl's C handles: each handle is freed exactly
// once by its own cleanup routine and can never be copied.

struct CurlEasyDeleter {
  void operator()(CURL* h) const noexcept { curl_easy_cleanup(h); }
};
struct CurlMultiDeleter {
  void operator()(CURLM* h) const noexcept { curl_multi_cleanup(h); }
};
struct CurlShareDeleter {
  void operator()(CURLSH* h) const noexcept { curl_share_cleanup(h); }
};
struct CurlSlistDeleter {
  void operator()(curl_slist* l) const noexcept { curl_slist_free_all(l); }
};
struct CurlUrlDeleter {
  void operator()(CURLU* h) const noexcept { curl_url_cleanup(h); }
};
struct CurlStringDeleter {
  void operator()(char* s) const noexcept { curl_free(s); }
};

using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlMulti = std::unique_ptr<CURLM, CurlMultiDeleter>;
using CurlShare = std::unique_ptr<CURLSH, CurlShareDeleter>;
using CurlSlist = std::unique_ptr<curl_slist, CurlSlistDeleter>;
using CurlUrl = std::unique_ptr<CURLU, CurlUrlDeleter>;
using CurlString = std::unique_ptr<char, CurlStringDeleter>;

}  // namespace quorvane

#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// The status line for an https request that failed while its secure
// connection was set up, naming the host and the reason (an authority
// the system does not know, an expired certificate, a certificate for
// another host, a server without TLS 1.2 or newer); empty when the failure
// was not one of the secure connection. `curlCode` is libcurl's result,
// `verifyResult` the certificate check's result (an X509_V_ code) and
// `curlError` libcurl's own text of the error.
std::string TlsFailureText(std::string_view host, int curlCode, long verifyResult,
                           std::string_view curlError);

// The status line for a redirect from https down to http, which is never
// followed: it would send the request, its cookies and keywords
// unencrypted.
std::string DowngradeRefusedText(std::string_view from, std::string_view to);

}  // namespace quorvane

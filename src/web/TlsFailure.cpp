#include "web/TlsFailure.h"

#include <curl/curl.h>
#include <openssl/x509_vfy.h>

#include "base/AsciiText.h"

namespace quorvane {

namespace {

std::string Refused(std::string_view host, std::string_view reason) {
  std::string text = "Secure connection to ";
  text.append(host).append(" refused: ").append(reason).append(".");
  return text;
}

// libcurl's text without its trailing line end or full stop.
std::string_view Plain(std::string_view curlError) {
  curlError = TrimEnd(curlError, kSpaceTabLineEnd);
  while (!curlError.empty() && curlError.back() == '.') curlError.remove_suffix(1);
  return curlError;
}

}  // namespace

std::string TlsFailureText(std::string_view host, int curlCode, long verifyResult,
                           std::string_view curlError) {
  if (curlCode == CURLE_PEER_FAILED_VERIFICATION) {
    // The chain verified; libcurl's own check of the name failed.
    if (FindNoCase(curlError, "target host name") != std::string_view::npos)
      return Refused(host, "its certificate is for another host");
    switch (verifyResult) {
      case X509_V_ERR_CERT_HAS_EXPIRED:
        return Refused(host, "its certificate has expired");
      case X509_V_ERR_CERT_NOT_YET_VALID:
        return Refused(host, "its certificate is not valid yet");
      case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
      case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
      case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
      case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
      case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        return Refused(host, "its certificate is signed by an unknown authority");
      case X509_V_ERR_HOSTNAME_MISMATCH:
      case X509_V_ERR_IP_ADDRESS_MISMATCH:
        return Refused(host, "its certificate is for another host");
      default:
        return Refused(host,
                       "its certificate does not verify (" + std::string(Plain(curlError)) + ")");
    }
  }
  if (curlCode == CURLE_SSL_CONNECT_ERROR) {
    // OpenSSL's words for a server that offers only older protocols.
    if (FindNoCase(curlError, "unsupported protocol") != std::string_view::npos ||
        FindNoCase(curlError, "protocol version") != std::string_view::npos)
      return Refused(host, "the server offers no TLS 1.2 or newer");
    return Refused(host,
                   "no secure connection could be set up (" + std::string(Plain(curlError)) + ")");
  }
  if (curlCode == CURLE_SSL_CACERT_BADFILE || curlCode == CURLE_SSL_CIPHER ||
      curlCode == CURLE_SSL_CERTPROBLEM || curlCode == CURLE_SSL_ISSUER_ERROR ||
      curlCode == CURLE_SSL_PINNEDPUBKEYNOTMATCH || curlCode == CURLE_SSL_INVALIDCERTSTATUS)
    return Refused(host,
                   "its certificate cannot be checked (" + std::string(Plain(curlError)) + ")");
  return {};
}

std::string DowngradeRefusedText(std::string_view from, std::string_view to) {
  std::string text = "Redirect from ";
  text.append(from).append(" to ").append(to).append(
      " refused: it would leave the secure connection.");
  return text;
}

}  // namespace quorvane

#include "support/CertificateFaults.h"

#include <openssl/ssl.h>

namespace quorvane {

std::vector<CertificateFault> CertificateFaults() {
  return {
      {"UnknownAuthority", "its certificate is signed by an unknown authority"},
      {"Expired", "its certificate has expired"},
      {"NotValidYet", "its certificate is not valid yet"},
      {"AnotherHost", "its certificate is for another host"},
      {"Tls10Only", "the server offers no TLS 1.2 or newer"},
      {"Tls11Only", "the server offers no TLS 1.2 or newer"},
  };
}

RawHttpServer::Tls FaultyTls(const CertificateFault& fault, const TestAuthority& trusted,
                             const TestAuthority& stranger, const std::string& stem) {
  const std::string name = fault.name;
  const TestAuthority& signer = name == "UnknownAuthority" ? stranger : trusted;
  CertificateValidity validity;
  if (name == "Expired") validity = {std::chrono::hours(-48), std::chrono::hours(-1)};
  if (name == "NotValidYet") validity = {std::chrono::hours(24), std::chrono::hours(48)};
  const auto issued =
      signer.Issue(stem, {name == "AnotherHost" ? "other.example.com" : "127.0.0.1"}, validity);
  RawHttpServer::Tls tls{issued.certificate, issued.key};
  if (name == "Tls10Only") tls.maxVersion = TLS1_VERSION;
  if (name == "Tls11Only") tls.maxVersion = TLS1_1_VERSION;
  return tls;
}

}  // namespace quorvane

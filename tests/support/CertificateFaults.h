#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "support/RawHttpServer.h"
#include "support/TestAuthority.h"

namespace quorvane {

// The ways an https server's certificate or protocol fails the client's
// check, and the reason the client's status line gives for each.
struct CertificateFault {
  const char* name;    // UnknownAuthority, Expired, NotValidYet, AnotherHost, Tls10Only, Tls11Only
  std::string reason;  // "its certificate has expired", ...
};
inline void PrintTo(const CertificateFault& f, std::ostream* os) {
  *os << f.name;
}

// Every such fault.
std::vector<CertificateFault> CertificateFaults();

// The TLS side of a server on 127.0.0.1 with that fault: its certificate
// signed by `trusted` (the client's authority) or, for an unknown
// authority, by `stranger`; written as `stem`.pem and `stem`.key.
RawHttpServer::Tls FaultyTls(const CertificateFault& fault, const TestAuthority& trusted,
                             const TestAuthority& stranger, const std::string& stem);

}  // namespace quorvane

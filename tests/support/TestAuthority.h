#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace quorvane {

// When a certificate is valid, relative to now.
struct CertificateValidity {
  std::chrono::seconds from{-3600};
  std::chrono::seconds to{30 * 24 * 3600};
};

// A throw-away certificate authority made at test time with OpenSSL, and
// the server certificates it signs: what an https test trusts (through
// the client's test authority) and what its local servers present. Keys
// are EC P-256; files are PEM in the folder given.
class TestAuthority {
 public:
  using Validity = CertificateValidity;
  // A server certificate and its key.
  struct Issued {
    std::filesystem::path certificate;
    std::filesystem::path key;
  };

  // Makes the authority; its certificate goes to `folder`/`stem`.pem.
  TestAuthority(std::filesystem::path folder, const std::string& stem = "authority");
  ~TestAuthority();
  TestAuthority(const TestAuthority&) = delete;
  TestAuthority& operator=(const TestAuthority&) = delete;

  // The authority's own certificate: the file a client is to trust.
  const std::filesystem::path& CertificateFile() const { return certificate_; }

  // A certificate for the host `names` ("127.0.0.1" and other IP
  // addresses go in as addresses), signed by this authority, written with
  // its key as `stem`.pem and `stem`.key.
  Issued Issue(const std::string& stem, const std::vector<std::string>& names,
               Validity validity = {}) const;

 private:
  struct Keys;
  std::filesystem::path folder_;
  std::filesystem::path certificate_;
  std::unique_ptr<Keys> keys_;
};

}  // namespace quorvane

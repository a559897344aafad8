#include "support/TestAuthority.h"

#include <arpa/inet.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <stdexcept>

namespace quorvane {

namespace {

struct Deleter {
  void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
  void operator()(X509* p) const { X509_free(p); }
  void operator()(X509_EXTENSION* p) const { X509_EXTENSION_free(p); }
  void operator()(BIGNUM* p) const { BN_free(p); }
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using Key = std::unique_ptr<EVP_PKEY, Deleter>;
using Certificate = std::unique_ptr<X509, Deleter>;

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("test authority: ") + what);
}

Key NewKey() {
  Key key(EVP_EC_gen("P-256"));
  Check(key != nullptr, "cannot make a key");
  return key;
}

void AddExtension(X509* certificate, X509* issuer, int nid, const std::string& value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
  const std::unique_ptr<X509_EXTENSION, Deleter> extension(
      X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str()));
  Check(extension != nullptr && X509_add_ext(certificate, extension.get(), -1) == 1,
        "cannot add an extension");
}

// A certificate for `subject`'s key, valid as given, not yet signed.
Certificate NewCertificate(EVP_PKEY* subjectKey, const std::string& commonName,
                           TestAuthority::Validity validity) {
  Certificate certificate(X509_new());
  Check(certificate != nullptr, "cannot make a certificate");
  X509* x = certificate.get();
  X509_set_version(x, 2);
  unsigned char serial[16];
  Check(RAND_bytes(serial, sizeof serial) == 1, "no random serial");
  serial[0] &= 0x7F;  // positive
  const std::unique_ptr<BIGNUM, Deleter> number(BN_bin2bn(serial, sizeof serial, nullptr));
  Check(number && BN_to_ASN1_INTEGER(number.get(), X509_get_serialNumber(x)) != nullptr,
        "cannot set the serial");
  X509_gmtime_adj(X509_getm_notBefore(x), static_cast<long>(validity.from.count()));
  X509_gmtime_adj(X509_getm_notAfter(x), static_cast<long>(validity.to.count()));
  X509_NAME* name = X509_get_subject_name(x);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0);
  X509_set_pubkey(x, subjectKey);
  return certificate;
}

void WritePem(const std::filesystem::path& path, X509* certificate, EVP_PKEY* key) {
  const std::unique_ptr<std::FILE, Deleter> file(std::fopen(path.c_str(), "wb"));
  Check(file != nullptr, "cannot write a PEM file");
  const bool written =
      certificate != nullptr
          ? PEM_write_X509(file.get(), certificate) == 1
          : PEM_write_PrivateKey(file.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
  Check(written, "cannot write a PEM file");
}

bool IsAddress(const std::string& name) {
  unsigned char bytes[16];
  return inet_pton(AF_INET, name.c_str(), bytes) == 1 ||
         inet_pton(AF_INET6, name.c_str(), bytes) == 1;
}

}  // namespace

struct TestAuthority::Keys {
  Key key;
  Certificate certificate;
};

TestAuthority::TestAuthority(std::filesystem::path folder, const std::string& stem)
    : folder_(std::move(folder)), keys_(std::make_unique<Keys>()) {
  keys_->key = NewKey();
  keys_->certificate = NewCertificate(keys_->key.get(), "Quorvane Test Authority " + stem,
                                      {std::chrono::hours(-24), std::chrono::hours(24 * 365)});
  X509* x = keys_->certificate.get();
  X509_set_issuer_name(x, X509_get_subject_name(x));
  AddExtension(x, x, NID_basic_constraints, "critical,CA:TRUE");
  AddExtension(x, x, NID_key_usage, "critical,keyCertSign,cRLSign");
  AddExtension(x, x, NID_subject_key_identifier, "hash");
  Check(X509_sign(x, keys_->key.get(), EVP_sha256()) > 0, "cannot sign the authority");
  certificate_ = folder_ / (stem + ".pem");
  WritePem(certificate_, x, nullptr);
}

TestAuthority::~TestAuthority() = default;

TestAuthority::Issued TestAuthority::Issue(const std::string& stem,
                                           const std::vector<std::string>& names,
                                           Validity validity) const {
  Check(!names.empty(), "a certificate needs a name");
  const Key key = NewKey();
  const Certificate certificate = NewCertificate(key.get(), names.front(), validity);
  X509* x = certificate.get();
  X509* issuer = keys_->certificate.get();
  X509_set_issuer_name(x, X509_get_subject_name(issuer));
  std::string alternatives;
  for (const auto& name : names) {
    if (!alternatives.empty()) alternatives += ",";
    alternatives += (IsAddress(name) ? "IP:" : "DNS:") + name;
  }
  AddExtension(x, issuer, NID_basic_constraints, "critical,CA:FALSE");
  AddExtension(x, issuer, NID_key_usage, "critical,digitalSignature");
  AddExtension(x, issuer, NID_ext_key_usage, "serverAuth");
  AddExtension(x, issuer, NID_subject_alt_name, alternatives);
  AddExtension(x, issuer, NID_authority_key_identifier, "keyid");
  Check(X509_sign(x, keys_->key.get(), EVP_sha256()) > 0, "cannot sign a certificate");
  Issued issued{folder_ / (stem + ".pem"), folder_ / (stem + ".key")};
  WritePem(issued.certificate, x, nullptr);
  WritePem(issued.key, nullptr, key.get());
  return issued;
}

}  // namespace quorvane

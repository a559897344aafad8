#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// Known-answer containers, one or more per mode, derived outside this code
// from the published primitives with the openssl command line:
//   key material: openssl kdf -keylen <2K+2> -kdfopt digest:SHA1
//                 -kdfopt pass:<password> -kdfopt hexsalt:<salt>
//                 -kdfopt iter:1000 PBKDF2
//   keystream:    openssl enc -aes-<8K>-ecb -K <bytes 0..K-1> -nopad over the
//                 counter blocks 01 00..00, 02 00..00, ... (64-bit little
//                 endian counter in bytes 0..7, bytes 8..15 zero), XORed with
//                 the plaintext
//   code:         openssl dgst -sha1 -mac HMAC -macopt hexkey:<bytes K..2K-1>
//                 over the ciphertext, first 10 bytes
// and cross-checked with Python's hashlib.pbkdf2_hmac and hmac. Layout:
// salt | key material bytes 2K, 2K+1 | ciphertext | code.
struct KnownContainer {
  const char* name;
  int mode;
  std::string_view password;
  std::string_view plaintext;
  std::string_view containerHex;
};

inline const std::vector<KnownContainer>& KnownContainers() {
  static const std::vector<KnownContainer> vectors = {
      {"Mode1SettingsPassword", 1, "zedizoreri",
       "<%%ApplicationName%%>Quorvane<%%/ApplicationName%%>\r\n",
       "00010203040506070ed3109960d25f4e87d72556fd03cc0d2a3a4b375810454c5cad1dd844c3fe922a71cec0"
       "39bf680dbf02022394e94c28b62d2ea7e4cf7f663d5a243b575ebfeea8"},
      {"Mode1Empty", 1, "zedizoreri", "", "f0f1f2f3f4f5f6f7ded76f7750da96cba9dfbf98"},
      {"Mode2", 2, "0123456789abcdef0123456789ABCDEF",
       "The quick brown fox jumps over the lazy dog",
       "101112131415161718191a1be4b4b00c2737d225b5fe36296219bd176c8312b4fff96678f4c7f499f802ad71"
       "2f8db9cf6f8c3a474ac784a155e10eb9f017875a1b598c"},
      {"Mode3", 3, "Forty-eight bytes of password for the AES-256 mo",
       "keystream runs on past two blocks",
       "202122232425262728292a2b2c2d2e2f23279b09634ab1625196cd5f0b317aa758be57318945b2e8982b88e2"
       "2964f49ce2a1addc27adae8f491c92b9c1"},
  };
  return vectors;
}

inline std::string FromHex(std::string_view hex) {
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    throw std::invalid_argument("not a hex digit");
  };
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(nibble(hex[i]) * 16 + nibble(hex[i + 1])));
  }
  return bytes;
}

}  // namespace quorvane

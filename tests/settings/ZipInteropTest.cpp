#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "settings/CipherContext.h"
#include "settings/ContainerBytes.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

using namespace quorvane;

// Interoperability with an independent WinZip-AES implementation (7-Zip):
// our container is exactly the data of an AES-encrypted, stored ZIP entry.

namespace {

const std::string kSevenZip = QUORVANE_7Z;

struct ModeCase {
  const char* name;
  int strength;  // 1, 2, 3 = AES-128/192/256, as in the 0x9901 extra field
  std::string password;
};

const ModeCase kModes[] = {
    {"Aes128", 1, "zedizoreri"},
    {"Aes192", 2, "a password of exactly thirty-five b"},
    {"Aes256", 3, "this password runs to more than forty-eight bytes altogether"},
};

void Put16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
std::uint32_t Get16(const std::string& in, std::size_t at) {
  return static_cast<unsigned char>(in.at(at)) | (static_cast<unsigned char>(in.at(at + 1)) << 8);
}
std::uint32_t Get32(const std::string& in, std::size_t at) {
  return Get16(in, at) | (Get16(in, at + 2) << 16);
}

// A one-entry ZIP whose entry is stored (method 0) under WinZip AES (method
// 99, extra field 0x9901, AE-2 so the CRC field is 0), with `container` as
// the entry's data.
std::string StoredAesZip(const std::string& name, const std::string& container,
                         std::size_t plainSize, int strength) {
  std::string extra;
  Put16(extra, 0x9901);
  Put16(extra, 7);
  Put16(extra, 2);  // AE-2
  extra += "AE";
  extra.push_back(static_cast<char>(strength));
  Put16(extra, 0);  // the real method: stored

  auto common = [&](std::string& out) {
    Put16(out, 51);    // version needed: 5.1, AES
    Put16(out, 1);     // encrypted
    Put16(out, 99);    // AES
    Put16(out, 0);     // time
    Put16(out, 0x21);  // date: 1980-01-01
    Put32(out, 0);     // CRC, unused in AE-2
    Put32(out, static_cast<std::uint32_t>(container.size()));
    Put32(out, static_cast<std::uint32_t>(plainSize));
    Put16(out, static_cast<std::uint32_t>(name.size()));
    Put16(out, static_cast<std::uint32_t>(extra.size()));
  };

  std::string zip;
  Put32(zip, 0x04034b50);
  common(zip);
  zip += name + extra + container;

  const auto centralStart = static_cast<std::uint32_t>(zip.size());
  Put32(zip, 0x02014b50);
  Put16(zip, 51);  // made by
  common(zip);
  Put16(zip, 0);  // comment length
  Put16(zip, 0);  // disk
  Put16(zip, 0);  // internal attributes
  Put32(zip, 0);  // external attributes
  Put32(zip, 0);  // local header offset
  zip += name + extra;
  const auto centralSize = static_cast<std::uint32_t>(zip.size()) - centralStart;

  Put32(zip, 0x06054b50);
  Put16(zip, 0);
  Put16(zip, 0);
  Put16(zip, 1);
  Put16(zip, 1);
  Put32(zip, centralSize);
  Put32(zip, centralStart);
  Put16(zip, 0);
  return zip;
}

struct ZipEntry {
  std::uint32_t method = 0;
  int strength = 0;
  std::uint32_t actualMethod = 0xFFFF;
  std::string data;
};

// The first entry of a ZIP, found through the central directory.
ZipEntry FirstEntry(const std::string& zip) {
  const std::size_t end = zip.rfind(std::string("PK\x05\x06", 4));
  EXPECT_NE(end, std::string::npos);
  const std::size_t central = Get32(zip, end + 16);
  EXPECT_EQ(Get32(zip, central), 0x02014b50u);
  ZipEntry entry;
  entry.method = Get16(zip, central + 10);
  const std::uint32_t compressedSize = Get32(zip, central + 20);
  const std::size_t nameLength = Get16(zip, central + 28);
  const std::size_t extraLength = Get16(zip, central + 30);
  const std::size_t local = Get32(zip, central + 42);
  for (std::size_t at = central + 46 + nameLength;
       at + 4 <= central + 46 + nameLength + extraLength;) {
    const std::uint32_t id = Get16(zip, at), size = Get16(zip, at + 2);
    if (id == 0x9901) {
      entry.strength = static_cast<unsigned char>(zip.at(at + 8));
      entry.actualMethod = Get16(zip, at + 9);
    }
    at += 4 + size;
  }
  EXPECT_EQ(Get32(zip, local), 0x04034b50u);
  const std::size_t dataStart = local + 30 + Get16(zip, local + 26) + Get16(zip, local + 28);
  entry.data = zip.substr(dataStart, compressedSize);
  return entry;
}

std::string Sample(std::size_t size) {
  std::string text;
  std::mt19937 random(static_cast<unsigned>(size));
  while (text.size() < size) text.push_back(static_cast<char>(random()));
  return text;
}

class ZipInteropTest : public testing::TestWithParam<ModeCase> {
 protected:
  void SetUp() override {
    ASSERT_FALSE(kSevenZip.empty()) << "7z not found at configure time; run scripts/bootstrap";
    ASSERT_EQ(ModeForPasswordLength(GetParam().password.size()), GetParam().strength);
  }
  TempFolder folder_;
};

}  // namespace

TEST_P(ZipInteropTest, SevenZipExtractsOurContainer) {
  const ModeCase& mode = GetParam();
  for (const std::size_t size : {std::size_t{0}, std::size_t{33}, std::size_t{300000}}) {
    const std::string plain = Sample(size);
    const std::string container = EncryptBytes(plain, mode.password);
    folder_.Write("ours.zip", StoredAesZip("entry.txt", container, plain.size(), mode.strength));
    const auto out = folder_.File("out" + std::to_string(size));
    const ChildResult r = RunChild({kSevenZip, "x", "-y", "-p" + mode.password, "-o" + out.string(),
                                    folder_.File("ours.zip").string()});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(ReadFileBytes(out / "entry.txt"), plain) << size;
  }
  // 7-Zip refuses the same entry under another password.
  const std::string container = EncryptBytes("secret", mode.password);
  folder_.Write("ours.zip", StoredAesZip("entry.txt", container, 6, mode.strength));
  const ChildResult wrong =
      RunChild({kSevenZip, "x", "-y", "-pnot-the-password", "-o" + folder_.File("wrong").string(),
                folder_.File("ours.zip").string()});
  EXPECT_NE(wrong.exitCode, 0);
}

TEST_P(ZipInteropTest, WeDecryptSevenZipsEntries) {
  const ModeCase& mode = GetParam();
  const char* method = mode.strength == 1   ? "-mem=AES128"
                       : mode.strength == 2 ? "-mem=AES192"
                                            : "-mem=AES256";
  for (const std::size_t size : {std::size_t{0}, std::size_t{33}, std::size_t{300000}}) {
    const std::string plain = Sample(size);
    folder_.Write("plain.bin", plain);
    const auto zipPath = folder_.File("theirs" + std::to_string(size) + ".zip");
    const ChildResult r = RunChild({kSevenZip, "a", "-tzip", "-mx0", method, "-p" + mode.password,
                                    zipPath.string(), folder_.File("plain.bin").string()});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;

    const ZipEntry entry = FirstEntry(ReadFileBytes(zipPath));
    EXPECT_EQ(entry.method, 99u);
    EXPECT_EQ(entry.strength, mode.strength);
    EXPECT_EQ(entry.actualMethod, 0u);
    ASSERT_EQ(entry.data.size(), size + SaltLengthOfMode(mode.strength) + 12);
    std::string decrypted;
    EXPECT_EQ(DecryptBytes(entry.data, mode.password, decrypted), CryptError::None) << size;
    EXPECT_EQ(decrypted, plain) << size;
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, ZipInteropTest, testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

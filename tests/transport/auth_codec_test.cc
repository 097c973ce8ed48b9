// The login's codecs: the authenticator block, CRC, scrambling and encoding
// with the server's decoding of what the library builds, and SHA-256 against
// the FIPS 180-4 examples with the fingerprint text that pins a certificate.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "port/port.h"
#include "transport/auth_codec.h"
#include "transport/authenticator.h"
#include "transport/sha256.h"

namespace {

const uint8_t kRandom[4] = {0x11, 0x22, 0x33, 0x44};

SYSTEMTIME Time(int y, int mo, int d, int h, int mi) {
  SYSTEMTIME t = {};
  t.wYear = static_cast<WORD>(y);
  t.wMonth = static_cast<WORD>(mo);
  t.wDay = static_cast<WORD>(d);
  t.wHour = static_cast<WORD>(h);
  t.wMinute = static_cast<WORD>(mi);
  return t;
}

TEST(AuthCodec, Crc16XmodemCheckValue) {
  const char* text = "123456789";
  EXPECT_EQ(auth::Crc16Xmodem(reinterpret_cast<const uint8_t*>(text), 9), 0x31C3);
  EXPECT_EQ(auth::Crc16Xmodem(nullptr, 0), 0);
}

TEST(AuthCodec, AlphabetHas66DistinctCharactersWithUrlSafePunctuationInFirst64) {
  const std::string alphabet = auth::AuthAlphabet;
  ASSERT_EQ(alphabet.size(), 66u);
  EXPECT_EQ(std::set<char>(alphabet.begin(), alphabet.end()).size(), 66u);
  std::set<char> punctuation;
  for (char c : alphabet) {
    if (!isalnum(static_cast<unsigned char>(c))) punctuation.insert(c);
  }
  EXPECT_EQ(punctuation, (std::set<char>{'-', '.', '_', '~'}));
  EXPECT_EQ(alphabet.find_first_of("-._~", 64), std::string::npos);
}

TEST(AuthCodec, BlockLayout) {
  uint8_t block[auth::BlockSize];
  ASSERT_EQ(auth::BuildBlock(block, "abcdefghijklmn", kRandom, "2612070012", "pw"), 28u);
  // Ten bytes of the user, two random bytes, the time, two more, the
  // password, and the CRC of all that, high byte first.
  std::string expected("abcdefghij\x11\x22" "2612070012\x33\x44" "pw");
  uint16_t crc = auth::Crc16Xmodem(reinterpret_cast<const uint8_t*>(expected.data()), expected.size());
  expected += {static_cast<char>(crc >> 8), static_cast<char>(crc & 0xFF)};
  EXPECT_EQ(std::string(block, block + 28), expected);

  EXPECT_EQ(auth::BuildBlock(block, "ann", kRandom, "2612070012", ""), 26u);
  EXPECT_EQ(std::string(block, block + 10), std::string("ann\0\0\0\0\0\0\0", 10));
  // A password that does not fit is refused.
  std::string fits(230, 'p'), tooLong(231, 'p');
  EXPECT_EQ(auth::BuildBlock(block, "u", kRandom, "2612070012", fits.c_str()), 256u);
  EXPECT_EQ(auth::BuildBlock(block, "u", kRandom, "2612070012", tooLong.c_str()), 0u);
}

TEST(AuthCodec, ScrambleKeepsLastByteAndReversesItself) {
  uint8_t block[6] = {1, 2, 3, 4, 5, 0x80};
  uint8_t copy[6];
  memcpy(copy, block, 6);
  auth::Scramble(block, 6);
  // k starts at 0x80: rotate right -> 0x40, + 21 -> 0x55; 1 ^ 0x55 = 0x54.
  EXPECT_EQ(block[0], 0x54);
  // then k = ror(0x55) + 21 = 0xAA + 0x15 = 0xBF; 2 ^ 0xBF = 0xBD.
  EXPECT_EQ(block[1], 0xBD);
  EXPECT_EQ(block[5], 0x80);
  auth::Scramble(block, 6);
  EXPECT_EQ(0, memcmp(block, copy, 6));
}

TEST(AuthCodec, SixBitGroupsTakeLeastSignificantBitsFirst) {
  const uint8_t bytes[2] = {0xC5, 0x03};  // bits 0..15: 1010 0011 1100 0000
  EXPECT_EQ(auth::SixBitGroup(bytes, 2, 0), 0x05);   // bits 0-5 of 0xC5
  EXPECT_EQ(auth::SixBitGroup(bytes, 2, 6), 0x0F);   // bits 6,7 of 0xC5 (1,1) and bits 0,1 of 0x03 (1,1)
  EXPECT_EQ(auth::SixBitGroup(bytes, 2, 12), 0x00);  // bits 12-15, padded
  EXPECT_EQ(auth::SixBitGroup(bytes, 2, 16), -1);
  char out[8];
  auth::Encode(bytes, 2, out);
  EXPECT_EQ(std::string(out), std::string() + auth::AuthAlphabet[5] + auth::AuthAlphabet[15] + auth::AuthAlphabet[0]);
  EXPECT_EQ(auth::EncodedLength(26), 35u);
  EXPECT_EQ(auth::EncodedLength(3), 4u);
}

TEST(Authenticator, EmptyPasswordAndTheServersDecoding) {
  char out[AuthenticatorBufferSize];
  ASSERT_TRUE(CreateAuthenticatorAt("anna", "", 0, Time(2026, 12, 6, 10, 0), kRandom, out));
  EXPECT_EQ(strlen(out), 36u);
  EXPECT_EQ(out[35], '0');
  ASSERT_TRUE(CreateAuthenticatorAt("anna", "", 12, Time(2026, 12, 6, 10, 0), kRandom, out));
  EXPECT_EQ(std::string(out).substr(35), "12");
  ASSERT_TRUE(CreateAuthenticatorAt("christopher", "s3cret pass\xe9", 2, Time(2026, 12, 6, 10, 7), kRandom, out));
  auth::Decoded decoded;
  ASSERT_TRUE(auth::Decode(out, &decoded));
  EXPECT_STREQ(decoded.user, "christophe");
  EXPECT_STREQ(decoded.password, "s3cret pass\xe9");
  EXPECT_STREQ(decoded.time, "2612062202");  // 10:07 + 11 h 55 min 49.67 s
  EXPECT_EQ(decoded.debugLevel, 2);
}

TEST(Authenticator, TimeShiftAndLongestPassword) {
  char field[11];
  ASSERT_TRUE(ShiftedTimeField(Time(2026, 12, 31, 20, 30), field));
  EXPECT_STREQ(field, "2701010825");  // 20:30 + 11:55:49.67 = 08:25:49 next day
  ASSERT_TRUE(ShiftedTimeField(Time(1999, 6, 1, 0, 0), field));
  EXPECT_STREQ(field, "9906011155");
  // One password too long (the longest: tests/server ServerAuth.LongestPasswordThatFitsIsAccepted).
  char out[AuthenticatorBufferSize];
  EXPECT_FALSE(CreateAuthenticatorAt("u", std::string(165, 'x').c_str(), 0, Time(2026, 1, 1, 0, 0), kRandom, out));
  EXPECT_STREQ(out, "");
}

TEST(Authenticator, CorruptedTextIsNotDecoded) {
  char out[AuthenticatorBufferSize];
  ASSERT_TRUE(CreateAuthenticatorAt("anna", "pw", 0, Time(2026, 12, 6, 10, 0), kRandom, out));
  auth::Decoded decoded;
  std::string text = out;
  for (size_t i = 0; i + 1 < text.size(); i += 3) {
    std::string bad = text;
    bad[i] = bad[i] == 'a' ? 'b' : 'a';
    EXPECT_FALSE(auth::Decode(bad.c_str(), &decoded)) << i;
  }
  EXPECT_FALSE(auth::Decode("", &decoded));
  EXPECT_FALSE(auth::Decode("0", &decoded));
  EXPECT_FALSE(auth::Decode("!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!0", &decoded));
}

std::string Hash(const std::string& text) {
  return FingerprintText(Sha256(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

TEST(Sha256, KnownDigests) {
  struct Case {
    std::string text;
    const char* digest;
  };
  const Case cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // 56 bytes: padding spills over
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Case& c : cases) EXPECT_EQ(Hash(c.text), std::string("sha256:") + c.digest) << c.text.size();
}

TEST(Sha256, FingerprintTextReadsBack) {
  Sha256Digest digest = Sha256(reinterpret_cast<const uint8_t*>("x"), 1);
  Sha256Digest back = {};
  ASSERT_TRUE(ParseFingerprint(FingerprintText(digest).c_str(), &back));
  EXPECT_EQ(back, digest);
  const char* wrong[] = {"", "sha256:", "SHA256:" "2d711642b726b04401627ca9fbac32f5c8530fb1903cc4db02258717921a4881",
                         "sha256:2d711642b726b04401627ca9fbac32f5c8530fb1903cc4db02258717921a48",
                         "sha256:2d711642b726b04401627ca9fbac32f5c8530fb1903cc4db02258717921a48811",
                         "sha256:2d::711642b726b04401627ca9fbac32f5c8530fb1903cc4db02258717921a4881",
                         "sha256:2d711642b726b04401627ca9fbac32f5c8530fb1903cc4db02258717921a488g"};
  for (const char* text : wrong) EXPECT_FALSE(ParseFingerprint(text, &back)) << text;
}

}  // namespace

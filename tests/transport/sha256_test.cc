// SHA-256 against the FIPS 180-4 examples, across the one- and two-block
// padding boundary, and the fingerprint text read back.
#include <gtest/gtest.h>

#include <string>

#include "transport/sha256.h"

namespace {

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

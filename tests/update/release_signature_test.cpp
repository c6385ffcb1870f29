// Release signatures on their own: libsodium's Ed25519 behind our base64 texts.
#include "update/release_signature.h"

#include <gtest/gtest.h>

namespace velmora::update {
namespace {

TEST(ReleaseSignatureTest, VerifiesOnlyTheSignedBytesUnderTheSigningKey) {
  const TKeyPair key = MakeKeyPair();
  const TKeyPair other = MakeKeyPair();
  const std::string message = "<VelmoraVersionHistory/>\n";
  const std::string signature = SignatureText(message, key);
  std::string flipped = signature;
  flipped[10] = flipped[10] == 'A' ? 'B' : 'A';
  struct Case {
    const char* what;
    std::string message;
    std::string signature;
    TPublicKey key;
    bool valid;
  };
  for (const Case& c :
       {Case{"as signed", message, signature, key.Public, true},
        Case{"without its line end", message, signature.substr(0, signature.size() - 1), key.Public, true},
        Case{"one byte more", message + " ", signature, key.Public, false},
        Case{"line ends changed", "<VelmoraVersionHistory/>\r\n", signature, key.Public, false},
        Case{"another public key", message, signature, other.Public, false},
        Case{"signed by another key", message, SignatureText(message, other), key.Public, false},
        Case{"one character changed", message, flipped, key.Public, false},
        Case{"cut short", message, signature.substr(0, 40), key.Public, false},
        Case{"twice", message, signature + signature, key.Public, false},
        Case{"empty", message, "", key.Public, false}}) {
    EXPECT_EQ(SignatureMatches(c.message, c.signature, c.key), c.valid) << c.what;
  }
}

TEST(ReleaseSignatureTest, TheSecretSeedAndTheBase64KeysGiveBackTheSameKeys) {
  const TKeyPair key = MakeKeyPair();
  EXPECT_EQ(KeyPairFromSeed(key.Seed).Public, key.Public);
  EXPECT_EQ(KeyFromBase64(ToBase64(key.Public)), key.Public);
  EXPECT_EQ(KeyFromBase64("  " + ToBase64(key.Public) + "\n"), key.Public);
  EXPECT_EQ(ToBase64(key.Public).size(), 44u);
  const std::string short_key = ToBase64(key.Public.data(), 31);
  for (const std::string& text :
       {short_key, ToBase64(key.Public) + "AAAA", std::string("not*base64"), std::string()}) {
    EXPECT_FALSE(KeyFromBase64(text)) << text;
  }
}

}  // namespace
}  // namespace velmora::update

#include "update/release_signature.h"

#include <stdexcept>
#include <vector>

#include <sodium.h>

namespace velmora::update {
namespace {

constexpr const char* kIgnoredInBase64 = " \t\r\n";

void Initialise() {
  // Idempotent and thread-safe; it only fails when the system offers no random source at all.
  if (sodium_init() < 0) {
    throw std::runtime_error("libsodium cannot be initialised");
  }
}

template <std::size_t N>
std::optional<std::array<std::uint8_t, N>> FromBase64(std::string_view text) {
  Initialise();
  std::array<std::uint8_t, N> bytes{};
  std::size_t size = 0;
  const char* end = nullptr;
  if (sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), kIgnoredInBase64, &size, &end,
                        sodium_base64_VARIANT_ORIGINAL) != 0 ||
      size != N || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

TKeyPair MakeKeyPair() {
  Initialise();
  TKeyPair pair;
  randombytes_buf(pair.Seed.data(), pair.Seed.size());
  return KeyPairFromSeed(pair.Seed);
}

TKeyPair KeyPairFromSeed(const TSecretSeed& seed) {
  Initialise();
  TKeyPair pair;
  pair.Seed = seed;
  std::array<std::uint8_t, crypto_sign_SECRETKEYBYTES> secret{};
  crypto_sign_seed_keypair(pair.Public.data(), secret.data(), seed.data());
  sodium_memzero(secret.data(), secret.size());
  return pair;
}

std::string ToBase64(const std::uint8_t* bytes, std::size_t size) {
  Initialise();
  std::string text(sodium_base64_encoded_len(size, sodium_base64_VARIANT_ORIGINAL), '\0');
  sodium_bin2base64(text.data(), text.size(), bytes, size, sodium_base64_VARIANT_ORIGINAL);
  text.resize(text.size() - 1);  // the terminating zero
  return text;
}

std::optional<std::array<std::uint8_t, 32>> KeyFromBase64(std::string_view text) {
  return FromBase64<32>(text);
}

std::string SignatureText(std::string_view message, const TKeyPair& key) {
  Initialise();
  std::array<std::uint8_t, crypto_sign_SECRETKEYBYTES> secret{};
  TPublicKey unused{};
  crypto_sign_seed_keypair(unused.data(), secret.data(), key.Seed.data());
  std::array<std::uint8_t, crypto_sign_BYTES> signature{};
  crypto_sign_detached(signature.data(), nullptr, reinterpret_cast<const unsigned char*>(message.data()),
                       message.size(), secret.data());
  sodium_memzero(secret.data(), secret.size());
  return ToBase64(signature) + "\n";
}

bool SignatureMatches(std::string_view message, std::string_view signature_text,
                      const TPublicKey& public_key) {
  const auto signature = FromBase64<crypto_sign_BYTES>(signature_text);
  return signature && crypto_sign_verify_detached(signature->data(),
                                                  reinterpret_cast<const unsigned char*>(message.data()),
                                                  message.size(), public_key.data()) == 0;
}

}  // namespace velmora::update

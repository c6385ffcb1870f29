#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::update {

// Ed25519 keys and detached signatures of release files, written as standard base64 (with padding) so that
// they fit in a CMake cache variable, an environment variable and a one-line ".sig" file. The crypto is
// libsodium's; nothing here is our own.
using TPublicKey = std::array<std::uint8_t, 32>;
using TSecretSeed = std::array<std::uint8_t, 32>;

struct TKeyPair {
  TSecretSeed Seed{};  // the secret: the whole key pair follows from it
  TPublicKey Public{};
};

// A fresh key pair from the system's random source.
TKeyPair MakeKeyPair();
// The key pair of a seed, as read back from a secret key file.
TKeyPair KeyPairFromSeed(const TSecretSeed& seed);

std::string ToBase64(const std::uint8_t* bytes, std::size_t size);
template <std::size_t N>
std::string ToBase64(const std::array<std::uint8_t, N>& bytes) {
  return ToBase64(bytes.data(), N);
}
// Exactly N bytes of base64, with white space around or between lines ignored; nothing otherwise.
std::optional<std::array<std::uint8_t, 32>> KeyFromBase64(std::string_view text);

// The detached signature of `message`, as the text of a ".sig" file: base64 and a line end.
std::string SignatureText(std::string_view message, const TKeyPair& key);

// True only when `signature_text` is a ".sig" text whose signature of exactly `message` verifies under
// `public_key`.
bool SignatureMatches(std::string_view message, std::string_view signature_text,
                      const TPublicKey& public_key);

}  // namespace velmora::update

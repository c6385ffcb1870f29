// velmora-sign: makes the release key pair and writes or checks the detached signature of a file.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "update/release_signature.h"

namespace {

using velmora::update::TKeyPair;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr const char* kHelp =
    "usage: velmora-sign keygen SECRET_KEY_FILE\n"
    "       velmora-sign public-key SECRET_KEY_FILE\n"
    "       velmora-sign sign SECRET_KEY_FILE FILE\n"
    "       velmora-sign verify PUBLIC_KEY FILE\n"
    "\n"
    "Ed25519 release signatures for Velmora's version history.\n"
    "  keygen      makes a new key pair: the secret key goes into SECRET_KEY_FILE (base64, one line,\n"
    "              readable by its owner only; an existing file is never replaced) and the public key\n"
    "              is printed, ready for the CMake variable VELMORA_RELEASE_PUBLIC_KEY.\n"
    "  public-key  prints the public key of a secret key.\n"
    "  sign        writes the detached signature of FILE as FILE.sig (base64 of 64 bytes, one line).\n"
    "  verify      checks FILE.sig against FILE and the base64 PUBLIC_KEY; status 0 when it verifies.\n"
    "SECRET_KEY_FILE \"-\" reads the secret key from standard input.\n"
    "Exit status: 0 done, 1 failed (with the reason on standard error), 2 bad command line.\n";

std::optional<std::string> ReadWhole(const std::string& name) {
  if (name == "-") {
    return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }
  std::ifstream file(name, std::ios::binary);
  if (!file) {
    return std::nullopt;
  }
  std::ostringstream text;
  text << file.rdbuf();
  return file.bad() ? std::nullopt : std::optional(text.str());
}

std::optional<TKeyPair> ReadSecretKey(const std::string& name) {
  const auto text = ReadWhole(name);
  if (!text) {
    std::cerr << "velmora-sign: cannot read " << name << ": " << std::strerror(errno) << "\n";
    return std::nullopt;
  }
  const auto seed = velmora::update::KeyFromBase64(*text);
  if (!seed) {
    std::cerr << "velmora-sign: " << name << " holds no secret key\n";
    return std::nullopt;
  }
  return velmora::update::KeyPairFromSeed(*seed);
}

// The file appears whole under its name or not at all.
bool WriteReplacing(const std::filesystem::path& name, const std::string& text) {
  const std::filesystem::path temporary = name.string() + ".new";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!(file << text) || !file.flush()) {
      std::cerr << "velmora-sign: cannot write " << temporary.string() << "\n";
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, name, error);
  if (error) {
    std::cerr << "velmora-sign: cannot write " << name.string() << ": " << error.message() << "\n";
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

int KeyGen(const std::string& name) {
  const TKeyPair pair = velmora::update::MakeKeyPair();
  const std::string secret = velmora::update::ToBase64(pair.Seed) + "\n";
  // Created for its owner alone, and never over a key someone already relies on.
  const int descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
  if (descriptor < 0) {
    std::cerr << "velmora-sign: cannot create " << name << ": " << std::strerror(errno) << "\n";
    return kExitFailed;
  }
  const bool written =
      ::write(descriptor, secret.data(), secret.size()) == static_cast<ssize_t>(secret.size());
  const bool closed = ::close(descriptor) == 0;
  if (!written || !closed) {
    std::cerr << "velmora-sign: cannot write " << name << "\n";
    ::unlink(name.c_str());
    return kExitFailed;
  }
  std::cout << velmora::update::ToBase64(pair.Public) << "\n";
  return 0;
}

int PublicKey(const std::string& name) {
  const auto pair = ReadSecretKey(name);
  if (!pair) {
    return kExitFailed;
  }
  std::cout << velmora::update::ToBase64(pair->Public) << "\n";
  return 0;
}

int Sign(const std::string& key_name, const std::string& file_name) {
  const auto pair = ReadSecretKey(key_name);
  if (!pair) {
    return kExitFailed;
  }
  const auto message = ReadWhole(file_name);
  if (!message) {
    std::cerr << "velmora-sign: cannot read " << file_name << ": " << std::strerror(errno) << "\n";
    return kExitFailed;
  }
  return WriteReplacing(file_name + ".sig", velmora::update::SignatureText(*message, *pair)) ? 0
                                                                                             : kExitFailed;
}

int Verify(const std::string& public_key, const std::string& file_name) {
  const auto key = velmora::update::KeyFromBase64(public_key);
  if (!key) {
    std::cerr << "velmora-sign: " << public_key << " is not a public key\n";
    return kExitUsage;
  }
  const auto message = ReadWhole(file_name);
  const auto signature = ReadWhole(file_name + ".sig");
  if (!message || !signature) {
    std::cerr << "velmora-sign: cannot read " << (message ? file_name + ".sig" : file_name) << "\n";
    return kExitFailed;
  }
  if (!velmora::update::SignatureMatches(*message, *signature, *key)) {
    std::cerr << "velmora-sign: " << file_name << ".sig is not a signature of " << file_name
              << " by that key\n";
    return kExitFailed;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const auto is = [&](const char* command, std::size_t count) {
    return arguments.size() == count + 1 && arguments[0] == command;
  };
  if (is("--help", 0)) {
    std::cout << kHelp;
    return 0;
  }
  if (is("keygen", 1)) {
    return KeyGen(arguments[1]);
  }
  if (is("public-key", 1)) {
    return PublicKey(arguments[1]);
  }
  if (is("sign", 2)) {
    return Sign(arguments[1], arguments[2]);
  }
  if (is("verify", 2)) {
    return Verify(arguments[1], arguments[2]);
  }
  std::cerr << kHelp;
  return kExitUsage;
}

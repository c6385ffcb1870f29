// Writes the starting corpus of the version resource fuzzer: small images and bare version blocks made by
// our writer, with and without their optional parts. Usage: pe_version_seeds <directory>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/pe_image_writer.h"

namespace {

bool Write(const std::filesystem::path& file, const std::vector<std::byte>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
    return 2;
  }
  using velmora::platform::VersionResourceContents;
  const std::filesystem::path directory = argv[1];
  std::filesystem::create_directories(directory);

  std::vector<std::pair<std::string, VersionResourceContents>> seeds;
  VersionResourceContents full;
  full.file_version = {1, 2, 1, 9};
  full.product_version = {1, 2, 1, 9};
  full.strings = {{"CompanyName", "Bench"}, {"ProductVersion", "1, 2, 1, 9"}, {"FileVersion", "1.2.1.9"}};
  seeds.emplace_back("full", full);
  VersionResourceContents german = full;
  german.language = 0x0407;
  german.code_page = 1252;
  german.strings = {{"ProductName", "Prüfstand"}, {"ProductVersion", "1, 0, 0, 0"}};
  seeds.emplace_back("german", german);
  VersionResourceContents no_translation = full;
  no_translation.with_translation = false;
  seeds.emplace_back("no_translation", no_translation);
  VersionResourceContents no_strings = full;
  no_strings.with_string_table = false;
  seeds.emplace_back("no_strings", no_strings);

  bool ok = true;
  for (const auto& [name, contents] : seeds) {
    ok = Write(directory / ("image_" + name), velmora::platform::BuildPeImage(contents)) && ok;
    ok = Write(directory / ("block_" + name), velmora::platform::BuildVersionInfoBlock(contents)) && ok;
  }
  return ok ? 0 : 1;
}

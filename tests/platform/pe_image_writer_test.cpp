#include "platform/pe_image_writer.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "child_process.h"
#include "platform/little_endian.h"

namespace velmora::platform {
namespace {

VersionResourceContents GermanContents() {
  VersionResourceContents contents;
  contents.file_version = {2, 9, 0, 220};
  contents.product_version = {1, 2, 1, 9};
  contents.language = 0x0407;
  contents.code_page = 1252;
  contents.strings = {{"ProductVersion", "1, 2, 1, 9"}, {"ProductName", "Velmora"}};
  return contents;
}

class PeImageWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("velmora_pe_writer_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                  "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  std::filesystem::path directory_;
};

// What a loader checks before it maps an image: aligned sections that follow one another, a size of image
// that covers them, an entry point inside the code.
TEST_F(PeImageWriterTest, ImageIsLaidOutForTheLoader) {
  const auto image = BuildPeImage(GermanContents());
  const std::span<const std::byte> bytes(image);
  EXPECT_EQ(image.size() % 0x200, 0U);
  ASSERT_EQ(LoadLe16(bytes, 0), 0x5A4D);
  const std::size_t nt = LoadLe32(bytes, 0x3C);
  ASSERT_EQ(LoadLe32(bytes, nt), 0x00004550U);
  EXPECT_EQ(LoadLe16(bytes, nt + 4), 0x014C);  // i386
  const std::size_t optional = nt + 24;
  EXPECT_EQ(LoadLe16(bytes, optional), 0x010B);  // PE32
  EXPECT_EQ(LoadLe32(bytes, optional + 28), 0x400000U);
  const std::uint32_t section_alignment = LoadLe32(bytes, optional + 32);
  const std::uint32_t file_alignment = LoadLe32(bytes, optional + 36);
  EXPECT_EQ(section_alignment, 0x1000U);
  EXPECT_EQ(file_alignment, 0x200U);
  const std::uint32_t size_of_image = LoadLe32(bytes, optional + 56);
  const std::uint32_t size_of_headers = LoadLe32(bytes, optional + 60);
  const std::uint32_t entry_point = LoadLe32(bytes, optional + 16);

  const std::size_t sections = optional + LoadLe16(bytes, nt + 20);
  const std::size_t count = LoadLe16(bytes, nt + 6);
  ASSERT_EQ(count, 2U);
  EXPECT_LE(sections + count * 40, size_of_headers);
  std::uint32_t next_rva = section_alignment;
  std::uint32_t next_raw = size_of_headers;
  bool entry_in_code = false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = sections + i * 40;
    const std::uint32_t virtual_size = LoadLe32(bytes, at + 8);
    const std::uint32_t rva = LoadLe32(bytes, at + 12);
    const std::uint32_t raw_size = LoadLe32(bytes, at + 16);
    const std::uint32_t raw = LoadLe32(bytes, at + 20);
    EXPECT_EQ(rva, next_rva) << i;
    EXPECT_EQ(raw, next_raw) << i;
    EXPECT_EQ(raw_size % file_alignment, 0U) << i;
    EXPECT_LE(virtual_size, raw_size) << i;
    EXPECT_LE(std::size_t{raw} + raw_size, image.size()) << i;
    next_rva = rva + (virtual_size + section_alignment - 1) / section_alignment * section_alignment;
    next_raw = raw + raw_size;
    entry_in_code = entry_in_code || (entry_point >= rva && entry_point < rva + virtual_size &&
                                      (LoadLe32(bytes, at + 36) & 0x20000000) != 0);  // executable
  }
  EXPECT_EQ(size_of_image, next_rva);
  EXPECT_TRUE(entry_in_code);
}

// The MinGW-w64 resource compiler reads resources out of linked images through its own PE reader, an
// independent check that the headers, the resource tree and the version block are sound.
TEST_F(PeImageWriterTest, WindowsResourceCompilerReadsTheImageBack) {
  const std::string windres = VELMORA_WINDRES;
  if (windres.empty()) {
    GTEST_SKIP() << "MinGW-w64 binutils were not installed when the build was configured";
  }
  const auto file = directory_ / "velmora-sim.exe";
  const auto script = directory_ / "resources.rc";
  ASSERT_TRUE(WritePeImage(file, BuildPeImage(GermanContents())));
  test::ChildProcess tool({windres, "-J", "coff", "-O", "rc", "-i", file.string(), "-o", script.string()});
  ASSERT_EQ(tool.CloseAndWait(), 0);
  std::ifstream in(script);
  std::stringstream text;
  text << in.rdbuf();
  for (const char* expected : {" FILEVERSION 2, 9, 0, 220", " PRODUCTVERSION 1, 2, 1, 9", "LANGUAGE 7, 1",
                               "BLOCK \"040704E4\"", "VALUE \"ProductVersion\", \"1, 2, 1, 9\"",
                               "VALUE \"ProductName\", \"Velmora\"", "VALUE \"Translation\", 0x407, 1252"}) {
    EXPECT_NE(text.str().find(expected), std::string::npos) << expected << " in\n" << text.str();
  }
}

TEST_F(PeImageWriterTest, WritesAndReplacesFilesWhole) {
  const auto file = directory_ / "game.exe";
  ASSERT_TRUE(WritePeImage(file, BuildPeImage(GermanContents())));
  auto contents = GermanContents();
  contents.strings = {{"ProductVersion", "1, 0, 0, 0"}};
  const auto second = BuildPeImage(contents);
  ASSERT_TRUE(WritePeImage(file, second));
  EXPECT_EQ(std::filesystem::file_size(file), second.size());
  EXPECT_EQ(ProductVersionOfFile(file), "1, 0, 0, 0");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory_), {}), 1);

  EXPECT_FALSE(WritePeImage(directory_ / "missing" / "game.exe", second));
  EXPECT_FALSE(std::filesystem::exists(directory_ / "missing"));
}

TEST(PeImageWriterLimitsTest, RefusesTextsBeyondWhatTheBlockLengthsHold) {
  VersionResourceContents contents;
  contents.strings = {{"ProductVersion", std::string(40000, 'x')}};
  EXPECT_THROW(BuildPeImage(contents), std::length_error);
  contents.strings = {{"ProductVersion", std::string(20000, 'x')}, {"ProductName", std::string(20000, 'y')}};
  EXPECT_THROW(BuildVersionInfoBlock(contents), std::length_error);
  contents.strings = {{"ProductVersion", std::string(30000, 'x')}};
  EXPECT_EQ(ProductVersionOfImage(BuildPeImage(contents)), std::string(30000, 'x'));
}

}  // namespace
}  // namespace velmora::platform

#include "platform/pe_version.h"

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/pe_image_writer.h"

namespace velmora::platform {
namespace {

using Bytes = std::vector<std::byte>;

Bytes B(std::initializer_list<unsigned> values) {
  Bytes bytes;
  for (const unsigned value : values) {
    bytes.push_back(static_cast<std::byte>(value));
  }
  return bytes;
}

// A key of a version block: UTF-16LE with its terminating zero.
Bytes Key(std::string_view ascii) {
  Bytes bytes;
  for (const char c : ascii) {
    bytes.push_back(static_cast<std::byte>(c));
    bytes.push_back(std::byte{0});
  }
  bytes.insert(bytes.end(), 2, std::byte{0});
  return bytes;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes bytes;
  for (const auto& part : parts) {
    bytes.insert(bytes.end(), part.begin(), part.end());
  }
  return bytes;
}

// Places parts at their file offsets in an image of `size` zero bytes.
Bytes Assemble(std::size_t size, std::initializer_list<std::pair<std::size_t, Bytes>> parts) {
  Bytes image(size);
  for (const auto& [offset, part] : parts) {
    std::copy(part.begin(), part.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
  }
  return image;
}

// A hand-made executable, written from the PE format rather than by our writer. One section `.rsrc` at
// RVA 0x1000, file offset 0x200; the resource directory lists an icon type before the version type; the
// string table is named in upper case, as resource compilers write it, and holds a second string before
// ProductVersion.
constexpr std::size_t kNtHeaders = 0x40;
constexpr std::size_t kRsrc = 0x200;          // file offset of the resource section
constexpr std::size_t kBlock = kRsrc + 0x60;  // file offset of VS_VERSIONINFO
constexpr std::size_t kBlockEnd = kBlock + 0x144;

const Bytes kDosHeader = Cat({
    B({0x4D, 0x5A}),              // "MZ"
    Bytes(0x3A),                  // the DOS fields, unused
    B({0x40, 0x00, 0x00, 0x00}),  // e_lfanew: the PE signature at 0x40
});

const Bytes kPe32Headers = B({
    0x50, 0x45, 0x00, 0x00,  // "PE\0\0"
    // COFF header
    0x4C, 0x01,              // machine: i386
    0x01, 0x00,              // one section
    0x00, 0x00, 0x00, 0x00,  // time stamp
    0x00, 0x00, 0x00, 0x00,  // symbol table
    0x00, 0x00, 0x00, 0x00,  // symbols
    0x78, 0x00,              // optional header: 0x78 bytes, three data directories
    0x03, 0x01,              // executable, 32-bit, relocations stripped
    // optional header
    0x0B, 0x01,                                      // PE32
    0x01, 0x00,                                      // linker version
    0x00, 0x00, 0x00, 0x00,                          // size of code
    0x00, 0x02, 0x00, 0x00,                          // size of initialised data
    0x00, 0x00, 0x00, 0x00,                          // size of uninitialised data
    0x00, 0x00, 0x00, 0x00,                          // entry point
    0x00, 0x00, 0x00, 0x00,                          // base of code
    0x00, 0x10, 0x00, 0x00,                          // base of data
    0x00, 0x00, 0x40, 0x00,                          // image base 0x400000
    0x00, 0x10, 0x00, 0x00,                          // section alignment
    0x00, 0x02, 0x00, 0x00,                          // file alignment
    0x04, 0x00, 0x00, 0x00,                          // operating system version 4.0
    0x00, 0x00, 0x00, 0x00,                          // image version
    0x04, 0x00, 0x00, 0x00,                          // subsystem version 4.0
    0x00, 0x00, 0x00, 0x00,                          // Win32 version value
    0x00, 0x20, 0x00, 0x00,                          // size of image
    0x00, 0x02, 0x00, 0x00,                          // size of headers
    0x00, 0x00, 0x00, 0x00,                          // checksum
    0x02, 0x00, 0x00, 0x00,                          // GUI subsystem, no DLL characteristics
    0x00, 0x00, 0x10, 0x00,                          // stack reserve
    0x00, 0x10, 0x00, 0x00,                          // stack commit
    0x00, 0x00, 0x10, 0x00,                          // heap reserve
    0x00, 0x10, 0x00, 0x00,                          // heap commit
    0x00, 0x00, 0x00, 0x00,                          // loader flags
    0x03, 0x00, 0x00, 0x00,                          // three data directories
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // exports
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // imports
    0x00, 0x10, 0x00, 0x00, 0xA4, 0x01, 0x00, 0x00,  // resources: RVA 0x1000, 0x1A4 bytes
    // section table
    0x2E, 0x72, 0x73, 0x72, 0x63, 0x00, 0x00, 0x00,  // ".rsrc"
    0xA4, 0x01, 0x00, 0x00,                          // virtual size
    0x00, 0x10, 0x00, 0x00,                          // RVA 0x1000
    0x00, 0x02, 0x00, 0x00,                          // raw size 0x200
    0x00, 0x02, 0x00, 0x00,                          // file offset 0x200
    0x00, 0x00, 0x00, 0x00,                          // relocations
    0x00, 0x00, 0x00, 0x00,                          // line numbers
    0x00, 0x00, 0x00, 0x00,                          // counts
    0x40, 0x00, 0x00, 0x40,                          // initialised data, readable
});

const Bytes kPe32PlusHeaders = B({
    0x50, 0x45, 0x00, 0x00,                                                  // "PE\0\0"
    0x64, 0x86,                                                              // machine: x86-64
    0x01, 0x00,                                                              // one section
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // time stamp, symbols
    0x88, 0x00,                                      // optional header: 0x88 bytes, three data directories
    0x22, 0x00,                                      // executable, large address aware
    0x0B, 0x02,                                      // PE32+
    0x01, 0x00,                                      // linker version
    0x00, 0x00, 0x00, 0x00,                          // size of code
    0x00, 0x02, 0x00, 0x00,                          // size of initialised data
    0x00, 0x00, 0x00, 0x00,                          // size of uninitialised data
    0x00, 0x00, 0x00, 0x00,                          // entry point
    0x00, 0x00, 0x00, 0x00,                          // base of code (PE32+ has no base of data)
    0x00, 0x00, 0x00, 0x40, 0x01, 0x00, 0x00, 0x00,  // image base 0x140000000
    0x00, 0x10, 0x00, 0x00,                          // section alignment
    0x00, 0x02, 0x00, 0x00,                          // file alignment
    0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00,  // versions
    0x00, 0x00, 0x00, 0x00,                                                  // Win32 version value
    0x00, 0x20, 0x00, 0x00,                                                  // size of image
    0x00, 0x02, 0x00, 0x00,                                                  // size of headers
    0x00, 0x00, 0x00, 0x00,                                                  // checksum
    0x02, 0x00, 0x60, 0x81,                          // GUI subsystem, DLL characteristics
    0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00,  // stack reserve
    0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // stack commit
    0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00,  // heap reserve
    0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // heap commit
    0x00, 0x00, 0x00, 0x00,                          // loader flags
    0x03, 0x00, 0x00, 0x00,                          // three data directories
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // exports
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // imports
    0x00, 0x10, 0x00, 0x00, 0xA4, 0x01, 0x00, 0x00,  // resources: RVA 0x1000, 0x1A4 bytes
    0x2E, 0x72, 0x73, 0x72, 0x63, 0x00, 0x00, 0x00,  // ".rsrc"
    0xA4, 0x01, 0x00, 0x00,                          // virtual size
    0x00, 0x10, 0x00, 0x00,                          // RVA 0x1000
    0x00, 0x02, 0x00, 0x00,                          // raw size 0x200
    0x00, 0x02, 0x00, 0x00,                          // file offset 0x200
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // relocations, lines, counts
    0x40, 0x00, 0x00, 0x40,                                                  // initialised data, readable
});

// Offsets count from the start of the resource section.
const Bytes kResourceTree = B({
    // 0x00 type directory
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // characteristics, time, version
    0x00, 0x00,                                                              // named entries
    0x02, 0x00,                                                              // id entries
    0x03, 0x00, 0x00, 0x00,                                                  // RT_ICON ...
    0x20, 0x00, 0x00, 0x80,                                                  // ... subdirectory at 0x20
    0x10, 0x00, 0x00, 0x00,                                                  // RT_VERSION ...
    0x20, 0x00, 0x00, 0x80,                                                  // ... subdirectory at 0x20
    // 0x20 name directory
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
    0x00, 0x00, 0x01, 0x00,                                                  // one id entry
    0x01, 0x00, 0x00, 0x00,                                                  // id 1 ...
    0x38, 0x00, 0x00, 0x80,                                                  // ... subdirectory at 0x38
    // 0x38 language directory
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
    0x00, 0x00, 0x01, 0x00,                                                  // one id entry
    0x09, 0x04, 0x00, 0x00,                                                  // language 0x0409 ...
    0x50, 0x00, 0x00, 0x00,                                                  // ... data entry at 0x50
    // 0x50 data entry
    0x60, 0x10, 0x00, 0x00,  // RVA 0x1060
    0x44, 0x01, 0x00, 0x00,  // 0x144 bytes
    0x00, 0x00, 0x00, 0x00,  // code page
    0x00, 0x00, 0x00, 0x00,  // reserved
});

// Offsets in the comments count from the start of the block.
const Bytes kVersionBlock = Cat({
    // 0x000 VS_VERSIONINFO
    B({0x44, 0x01, 0x34, 0x00, 0x00, 0x00}),              // wLength 0x144, wValueLength 52, binary
    Key("VS_VERSION_INFO"), B({0x00, 0x00}),              // padding
    B({0xBD, 0x04, 0xEF, 0xFE,                            // VS_FIXEDFILEINFO signature
       0x00, 0x00, 0x01, 0x00,                            // structure version 1.0
       0x02, 0x00, 0x01, 0x00,                            // file version 1.2 ...
       0x09, 0x00, 0x01, 0x00,                            // ... .1.9
       0x02, 0x00, 0x01, 0x00,                            // product version 1.2 ...
       0x09, 0x00, 0x01, 0x00,                            // ... .1.9
       0x3F, 0x00, 0x00, 0x00,                            // flags mask
       0x00, 0x00, 0x00, 0x00,                            // flags
       0x04, 0x00, 0x04, 0x00,                            // VOS_NT_WINDOWS32
       0x01, 0x00, 0x00, 0x00,                            // VFT_APP
       0x00, 0x00, 0x00, 0x00,                            // subtype
       0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}),  // date
    // 0x05C StringFileInfo
    B({0xA2, 0x00, 0x00, 0x00, 0x01, 0x00}),  // wLength 0xA2, no value, text
    Key("StringFileInfo"),
    // 0x080 string table
    B({0x7E, 0x00, 0x00, 0x00, 0x01, 0x00}),  // wLength 0x7E
    Key("040904B0"),
    // 0x098 String
    B({0x2C, 0x00, 0x06, 0x00, 0x01, 0x00}),  // wLength 0x2C, 6 UTF-16 units
    Key("CompanyName"), B({0x00, 0x00}),      // padding
    Key("Bytes"),
    // 0x0C4 String
    B({0x3A, 0x00, 0x0B, 0x00, 0x01, 0x00}),                    // wLength 0x3A, 11 UTF-16 units
    Key("ProductVersion"), Key("1, 2, 1, 9"), B({0x00, 0x00}),  // padding
    // 0x100 VarFileInfo
    B({0x44, 0x00, 0x00, 0x00, 0x01, 0x00}),  // wLength 0x44
    Key("VarFileInfo"), B({0x00, 0x00}),      // padding
    // 0x120 Var
    B({0x24, 0x00, 0x04, 0x00, 0x00, 0x00}),  // wLength 0x24, 4 bytes, binary
    Key("Translation"), B({0x00, 0x00}),      // padding
    B({0x09, 0x04, 0xB0, 0x04}),              // language 0x0409, code page 1200
});

Bytes HandMadeImage(const Bytes& nt_headers) {
  return Assemble(
      0x400, {{0, kDosHeader}, {kNtHeaders, nt_headers}, {kRsrc, kResourceTree}, {kBlock, kVersionBlock}});
}

TEST(PeVersionTest, HandMadeLayoutIsWhatTheCommentsSay) {
  EXPECT_EQ(kDosHeader.size(), 0x40U);
  EXPECT_EQ(kPe32Headers.size(), 24U + 0x78 + 40);
  EXPECT_EQ(kPe32PlusHeaders.size(), 24U + 0x88 + 40);
  EXPECT_EQ(kResourceTree.size(), 0x60U);
  EXPECT_EQ(kVersionBlock.size(), 0x144U);
}

TEST(PeVersionTest, ReadsTheHandMadeImagesOfBothFormats) {
  for (const Bytes* headers : {&kPe32Headers, &kPe32PlusHeaders}) {
    const auto resource = VersionResource::FromImage(HandMadeImage(*headers));
    ASSERT_TRUE(resource.has_value());
    EXPECT_EQ(resource->ProductVersion(), "1, 2, 1, 9");
    EXPECT_EQ(resource->VersionString("CompanyName"), "Bytes");
    EXPECT_EQ(resource->VersionString("FileVersion"), "");
    EXPECT_EQ(resource->Translations(), (std::vector<VersionTranslation>{{0x0409, 0x04B0}}));
    EXPECT_EQ(resource->FixedFileVersion(), (VersionParts{1, 2, 1, 9}));
    EXPECT_EQ(resource->FixedProductVersion(), (VersionParts{1, 2, 1, 9}));
  }
}

TEST(PeVersionTest, SubBlockPathsFollowTheQueryRules) {
  const auto resource = VersionResource::FromImage(HandMadeImage(kPe32Headers));
  ASSERT_TRUE(resource.has_value());
  struct Case {
    const char* path;
    std::optional<std::string> text;
  };
  const Case cases[] = {
      {"\\StringFileInfo\\040904b0\\ProductVersion", "1, 2, 1, 9"},  // lower-case hex as formatted
      {"\\STRINGFILEINFO\\040904B0\\productversion", "1, 2, 1, 9"},  // keys ignore case
      {"StringFileInfo\\040904b0\\ProductVersion", "1, 2, 1, 9"},    // the root is implied
      {"\\StringFileInfo\\\\040904b0\\ProductVersion\\", "1, 2, 1, 9"},
      {"ProductVersion", std::nullopt},  // not a child of the root
      {"\\StringFileInfo\\040704b0\\ProductVersion", std::nullopt},
      {"\\StringFileInfo\\040904b0\\ProductVersio", std::nullopt},
      {"\\StringFileInfo\\040904b0\\ProductVersionX", std::nullopt},
      {"\\StringFileInfo\\040904b0\\ProductVersion\\Deeper", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(resource->QueryText(c.path), c.text) << c.path;
  }
  const auto root = resource->QueryValue("\\");
  ASSERT_TRUE(root.has_value());
  EXPECT_EQ(root->size(), 52U);
  EXPECT_EQ(resource->QueryValue("\\VarFileInfo\\Translation")->size(), 4U);
}

TEST(PeVersionTest, RoundTripsWrittenImages) {
  struct Case {
    const char* product_version;
    std::uint16_t language;
    std::uint16_t code_page;
    const char* product_name;
  };
  const Case cases[] = {
      {"1, 2, 1, 9", 0x0409, 0x04B0, "Race Bench"},
      {"1, 0, 0, 0", 0x0409, 0x04B0, "Race Bench"},
      {"1, 2, 0, 13", 0x0407, 0x04E4, "Prüfstand für Rennwagen"},
      {"1, 1, 1, 2", 0x0411, 0x03A4, "レース 𝄞"},  // a character beyond the BMP needs a surrogate pair
      {"2.9.0.220", 0x0000, 0x0000, "Neutral"},
      {"", 0x0409, 0x04B0, "Empty version"},
  };
  for (const auto& c : cases) {
    VersionResourceContents contents;
    contents.file_version = {2, 9, 0, 220};
    contents.product_version = ParseVersionParts(c.product_version).value_or(VersionParts{});
    contents.language = c.language;
    contents.code_page = c.code_page;
    contents.strings = {
        {"FileVersion", "2.9.0.220"}, {"ProductName", c.product_name}, {"ProductVersion", c.product_version}};
    const Bytes image = BuildPeImage(contents);
    EXPECT_EQ(ProductVersionOfImage(image), c.product_version);
    EXPECT_EQ(VersionStringOfImage(image, "ProductName"), c.product_name);
    EXPECT_EQ(VersionStringOfImage(image, "FileVersion"), "2.9.0.220");
    const auto resource = VersionResource::FromImage(image);
    ASSERT_TRUE(resource.has_value());
    EXPECT_EQ(resource->Translations(), (std::vector<VersionTranslation>{{c.language, c.code_page}}));
    EXPECT_EQ(resource->FixedFileVersion(), (VersionParts{2, 9, 0, 220}));
    EXPECT_EQ(resource->FixedProductVersion(), contents.product_version);
  }
}

TEST(PeVersionTest, MissingPartsGiveEmptyText) {
  struct Case {
    const char* what;
    bool with_translation;
    bool with_string_table;
    const char* key;
  };
  const Case cases[] = {
      {"no translation table: the bare key names nothing", false, true, "ProductVersion"},
      {"no string table", true, false, "ProductVersion"},
      {"no ProductVersion text", true, true, "FileVersion"},
      {"neither", false, false, "ProductVersion"},
  };
  for (const auto& c : cases) {
    VersionResourceContents contents;
    contents.file_version = {1, 2, 3, 4};
    contents.with_translation = c.with_translation;
    contents.with_string_table = c.with_string_table;
    contents.strings = {{c.key, "1, 2, 1, 9"}};
    const auto resource = VersionResource::FromImage(BuildPeImage(contents));
    ASSERT_TRUE(resource.has_value()) << c.what;
    EXPECT_EQ(resource->ProductVersion(), "") << c.what;
    EXPECT_EQ(resource->FixedFileVersion(), (VersionParts{1, 2, 3, 4})) << c.what;
  }
}

TEST(PeVersionTest, ImagesWithoutAVersionResourceGiveNothing) {
  VersionResourceContents contents;
  contents.strings = {{"ProductVersion", "1, 2, 1, 9"}};
  Bytes no_directory = BuildPeImage(contents);
  // Clear the resource entry of the data directory (PE32 optional header at 0x98, directories at +96).
  std::fill_n(no_directory.begin() + 0x98 + 96 + 16, 8, std::byte{0});

  Bytes other_type = HandMadeImage(kPe32Headers);
  other_type[kRsrc + 0x18] = std::byte{0x18};  // the version type entry becomes RT_MANIFEST

  const Bytes elf = B({0x7F, 0x45, 0x4C, 0x46, 0x02, 0x01, 0x01, 0x00});
  for (const Bytes* image : std::initializer_list<const Bytes*>{&no_directory, &other_type, &elf}) {
    EXPECT_FALSE(VersionResource::FromImage(*image).has_value());
    EXPECT_EQ(ProductVersionOfImage(*image), "");
  }
  EXPECT_EQ(ProductVersionOfImage({}), "");
}

TEST(PeVersionTest, EveryTruncationIsEmptyUntilTheVersionDataIsWhole) {
  const Bytes image = HandMadeImage(kPe32Headers);
  for (std::size_t length = 0; length <= image.size(); ++length) {
    // A copy of exactly `length` bytes, so that the sanitizers see any read past its end.
    const Bytes truncated(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(ProductVersionOfImage(truncated), length < kBlockEnd ? "" : "1, 2, 1, 9") << length;
  }
}

void Store32(Bytes& image, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    image[at + i] = static_cast<std::byte>(value >> (8 * i));
  }
}

TEST(PeVersionTest, HostileOffsetsAndLengthsGiveEmptyText) {
  constexpr std::size_t kOptional = kNtHeaders + 24;
  constexpr std::size_t kSection = kOptional + 0x78;
  struct Case {
    const char* what;
    std::size_t at;
    std::uint32_t value;
    std::size_t size;  // bytes of the field, 2 or 4
    const char* expected;
  };
  const Case cases[] = {
      {"e_lfanew past the end", 0x3C, 0xFFFFFFFF, 4, ""},
      {"e_lfanew near the top", 0x3C, 0xFFFFFFF0, 4, ""},
      {"section count huge", kNtHeaders + 6, 0xFFFF, 2, ""},
      {"no sections", kNtHeaders + 6, 0, 2, ""},
      {"optional header huge", kNtHeaders + 20, 0xFFFF, 2, ""},
      {"optional header too short for the resource entry", kNtHeaders + 20, 0x70, 2, ""},
      {"unknown optional header magic", kOptional, 0x0107, 2, ""},
      {"only two data directories", kOptional + 92, 2, 4, ""},
      {"resource RVA at the top", kOptional + 112, 0xFFFFFFFF, 4, ""},
      {"section RVA at the top", kSection + 12, 0xFFFFFFFF, 4, ""},
      {"section file offset at the top", kSection + 20, 0xFFFFFFFF, 4, ""},
      {"section file offset past the end", kSection + 20, 0x00100000, 4, ""},
      {"section raw size huge: reads still stop at the file's end", kSection + 16, 0xFFFFFFFF, 4,
       "1, 2, 1, 9"},
      {"type directory claims 65535 entries", kRsrc + 14, 0xFFFF, 2, ""},
      {"version type points far away", kRsrc + 0x1C, 0xFFFFFFFF, 4, ""},
      {"name entry points back to the root", kRsrc + 0x34, 0x80000000, 4, ""},
      {"language entry points to its own directory", kRsrc + 0x4C, 0x80000038, 4, ""},
      {"language entry points to the data entry as a directory", kRsrc + 0x4C, 0x80000050, 4, ""},
      {"data RVA at the top", kRsrc + 0x50, 0xFFFFFFFF, 4, ""},
      {"data RVA before the section", kRsrc + 0x50, 0x0FFF, 4, ""},
      {"data size huge", kRsrc + 0x54, 0xFFFFFFFF, 4, ""},
      {"data size zero", kRsrc + 0x54, 0, 4, ""},
      {"data shorter than the block says", kRsrc + 0x54, 0x143, 4, ""},
      {"root block longer than the data", kBlock, 0xFFFF, 2, ""},
      {"root block length zero", kBlock, 0, 2, ""},
      {"string table longer than its parent", kBlock + 0x80, 0xFFFF, 2, ""},
      {"string block of zero length", kBlock + 0x98, 0, 2, ""},
      {"key without its terminating zero inside the block", kBlock + 0xC4, 0x10, 2, ""},
      {"text value length huge: the text ends at its zero", kBlock + 0xC6, 0xFFFF, 2, "1, 2, 1, 9"},
      {"text value length zero: the text still ends at its zero", kBlock + 0xC6, 0, 2, "1, 2, 1, 9"},
      {"text value counted in bytes", kBlock + 0xC6, 22, 2, "1, 2, 1, 9"},
      {"empty translation table: it has no first entry", kBlock + 0x122, 0, 2, ""},
      {"translation names another table", kBlock + 0x140, 0x04B00407, 4, ""},
  };
  for (const auto& c : cases) {
    Bytes image = HandMadeImage(kPe32Headers);
    if (c.size == 2) {
      image[c.at] = static_cast<std::byte>(c.value);
      image[c.at + 1] = static_cast<std::byte>(c.value >> 8);
    } else {
      Store32(image, c.at, c.value);
    }
    EXPECT_EQ(ProductVersionOfImage(image), c.expected) << c.what;
  }
}

// Random damage anywhere except in the ProductVersion string itself gives either nothing or exactly the
// right text; the sanitizer build checks that no damage makes the reader touch bytes outside the image.
TEST(PeVersionTest, RandomDamageGivesTheTextOrNothing) {
  const Bytes original = HandMadeImage(kPe32Headers);
  constexpr std::size_t kProductVersionBegin = kBlock + 0xC4;
  constexpr std::size_t kProductVersionEnd = kBlock + 0xFE;
  std::mt19937 random(20240611);
  std::uniform_int_distribution<std::size_t> position(0, original.size() - 4);
  std::uniform_int_distribution<unsigned> byte(0, 255);
  const std::uint32_t hostile[] = {0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFF, 0x8000, 0x10000, 0};
  std::size_t found = 0;
  for (int round = 0; round < 20000; ++round) {
    Bytes image = original;
    const int changes = 1 + round % 4;
    for (int i = 0; i < changes; ++i) {
      std::size_t at = position(random);
      if (at + 4 > kProductVersionBegin && at < kProductVersionEnd) {
        continue;
      }
      if (round % 2 == 0) {
        image[at] ^= static_cast<std::byte>(1 + byte(random) % 255);
      } else {
        Store32(image, at, hostile[byte(random) % std::size(hostile)]);
      }
    }
    const auto resource = VersionResource::FromImage(image);
    const std::string text = resource ? resource->ProductVersion() : "";
    ASSERT_TRUE(text.empty() || text == "1, 2, 1, 9") << "round " << round << ": " << text;
    found += text.empty() ? 0 : 1;
    if (resource) {
      resource->FixedFileVersion();
      resource->VersionString("CompanyName");
    }
  }
  // Most single changes miss the few bytes that matter.
  EXPECT_GT(found, 10000U);
}

class PeVersionFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("velmora_pe_version_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                  "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  std::filesystem::path directory_;
};

TEST_F(PeVersionFileTest, ReadsTheVersionOfAFileOnDisk) {
  VersionResourceContents contents;
  contents.file_version = {2, 9, 0, 220};
  contents.strings = {{"ProductVersion", "1, 2, 1, 9"}, {"ProductName", "Velmora"}};
  const auto file = directory_ / "game.exe";
  ASSERT_TRUE(WritePeImage(file, BuildPeImage(contents)));
  EXPECT_EQ(ProductVersionOfFile(file), "1, 2, 1, 9");
  EXPECT_EQ(VersionStringOfFile(file, "ProductName"), "Velmora");
  EXPECT_EQ(FixedFileVersionOfFile(file), (VersionParts{2, 9, 0, 220}));

  // A file cut short inside the resource section.
  const auto cut = directory_ / "cut.exe";
  std::filesystem::copy_file(file, cut);
  std::filesystem::resize_file(cut, 0x450);
  EXPECT_EQ(ProductVersionOfFile(cut), "");
}

TEST_F(PeVersionFileTest, UnreadableFilesGiveEmptyText) {
  std::ofstream(directory_ / "empty.exe").close();
  for (const auto& path : {directory_ / "missing.exe", directory_, directory_ / "empty.exe",
                           std::filesystem::path("/proc/self/exe")}) {
    EXPECT_EQ(ProductVersionOfFile(path), "") << path;
    EXPECT_FALSE(FixedFileVersionOfFile(path).has_value()) << path;
  }
}

// Executables linked by the MinGW-w64 resource compiler and linker at build time, so the reader is proven
// on files that neither our writer nor this test made.
TEST(PeVersionToolchainTest, ReadsA32BitExecutableFromTheWindowsLinker) {
  const std::string probe = VELMORA_PE_PROBE_I686;
  if (probe.empty()) {
    GTEST_SKIP() << "MinGW-w64 i686 binutils were not installed when the build was configured";
  }
  const auto resource = VersionResource::FromFile(probe);
  ASSERT_TRUE(resource.has_value());
  EXPECT_EQ(resource->ProductVersion(), "1, 2, 1, 9");
  EXPECT_EQ(resource->VersionString("FileVersion"), "2, 9, 0, 220");
  EXPECT_EQ(resource->VersionString("CompanyName"), "Test Bench");
  EXPECT_EQ(resource->VersionString("ProductName"), "Probe");
  ASSERT_TRUE(resource->FixedFileVersion().has_value());
  EXPECT_EQ(FormatVersionParts(*resource->FixedFileVersion()), "2.9.0.220");
  EXPECT_EQ(ProductVersionOfFile(probe), "1, 2, 1, 9");
}

TEST(PeVersionToolchainTest, ReadsA64BitExecutableWithAnotherLanguage) {
  const std::string probe = VELMORA_PE_PROBE_X86_64;
  if (probe.empty()) {
    GTEST_SKIP() << "MinGW-w64 x86-64 binutils were not installed when the build was configured";
  }
  const auto resource = VersionResource::FromFile(probe);
  ASSERT_TRUE(resource.has_value());
  EXPECT_EQ(resource->Translations(), (std::vector<VersionTranslation>{{0x0407, 1252}}));
  EXPECT_EQ(resource->ProductVersion(), "1, 0, 0, 0");
  EXPECT_EQ(resource->VersionString("ProductName"), "Prüfstand für Rennwagen");
  EXPECT_EQ(resource->FixedProductVersion(), (VersionParts{1, 0, 0, 0}));
}

TEST(PeVersionToolchainTest, EveryTruncationOfALinkedExecutableIsSafe) {
  const std::string probe = VELMORA_PE_PROBE_I686;
  if (probe.empty()) {
    GTEST_SKIP() << "MinGW-w64 i686 binutils were not installed when the build was configured";
  }
  std::ifstream in(probe, std::ios::binary);
  const Bytes content = [&in] {
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto bytes = std::as_bytes(std::span(raw));
    return Bytes(bytes.begin(), bytes.end());
  }();
  ASSERT_FALSE(content.empty());
  bool whole = false;
  for (std::size_t length = 0; length <= content.size(); ++length) {
    const Bytes truncated(content.begin(), content.begin() + static_cast<std::ptrdiff_t>(length));
    const std::string text = ProductVersionOfImage(truncated);
    // Once the resource is whole, every longer prefix holds it too; before that nothing is found.
    ASSERT_EQ(text, whole || !text.empty() ? "1, 2, 1, 9" : "") << length;
    whole = !text.empty();
  }
  EXPECT_TRUE(whole);
}

TEST(VersionPartsTest, ParsesAndFormatsVersionTexts) {
  struct Case {
    const char* text;
    std::optional<VersionParts> parts;
  };
  const Case cases[] = {
      {"1, 2, 1, 9", VersionParts{1, 2, 1, 9}},
      {"2.9.0.220", VersionParts{2, 9, 0, 220}},
      {" 1, 0 ", VersionParts{1, 0, 0, 0}},
      {"65535.0.0.1", VersionParts{65535, 0, 0, 1}},
      {"65536.0.0.1", std::nullopt},
      {"1, 2, 1, 9, 5", std::nullopt},
      {"1, 2,", std::nullopt},
      {"1;2", std::nullopt},
      {"v1", std::nullopt},
      {"-1", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseVersionParts(c.text), c.parts) << c.text;
  }
  EXPECT_EQ(FormatVersionParts({2, 9, 0, 220}), "2.9.0.220");
  EXPECT_EQ(FormatVersionParts({65535, 0, 0, 0}), "65535.0.0.0");
}

}  // namespace
}  // namespace velmora::platform

#include "platform/pe_image_writer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "platform/little_endian.h"
#include "platform/utf16_text.h"

namespace velmora::platform {
namespace {

constexpr std::uint32_t kImageBase = 0x400000;
constexpr std::uint32_t kFileAlignment = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;
constexpr std::uint32_t kNtHeadersOffset = 0x80;
constexpr std::uint32_t kOptionalHeaderSize = 224;  // PE32 with all 16 data directories
constexpr std::uint32_t kSectionCount = 2;
constexpr std::uint32_t kHeadersSize = 0x200;
constexpr std::uint32_t kTextRva = 0x1000;
constexpr std::uint32_t kTextFileOffset = 0x200;
constexpr std::uint32_t kResourceRva = 0x2000;
constexpr std::uint32_t kResourceFileOffset = 0x400;
constexpr std::uint32_t kChecksumOffset = kNtHeadersOffset + 24 + 64;

// The entry point: xor eax, eax; ret. The process ends with exit code 0 as soon as it starts.
constexpr std::array<std::uint8_t, 3> kEntryCode = {0x31, 0xC0, 0xC3};

// A DOS program that exits with code 1: mov ax, 4C01h; int 21h.
constexpr std::array<std::uint8_t, 5> kDosStub = {0xB8, 0x01, 0x4C, 0xCD, 0x21};

std::uint32_t AlignUp(std::uint32_t value, std::uint32_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

// Writes the nested blocks of a VS_VERSIONINFO. A block's length is patched when it is closed; children
// and values start on 32-bit boundaries from the start of the whole block.
class VersionBlockWriter {
 public:
  std::size_t Open(std::u16string_view key, std::uint16_t value_length, bool text) {
    Pad();
    const std::size_t start = bytes_.size();
    AppendLe16(bytes_, 0);
    AppendLe16(bytes_, value_length);
    AppendLe16(bytes_, text ? 1 : 0);
    AppendText(key);
    Pad();
    return start;
  }

  void Close(std::size_t start) {
    const std::size_t length = bytes_.size() - start;
    if (length > 0xFFFF) {
      throw std::length_error("version resource block longer than 65535 bytes");
    }
    StoreLe16(bytes_, start, static_cast<std::uint16_t>(length));
  }

  void AppendText(std::u16string_view text) {
    for (const char16_t unit : text) {
      AppendLe16(bytes_, unit);
    }
    AppendLe16(bytes_, 0);
  }

  void Append32(std::uint32_t value) { AppendLe32(bytes_, value); }
  void Append16(std::uint16_t value) { AppendLe16(bytes_, value); }

  std::vector<std::byte> Take() { return std::move(bytes_); }

 private:
  void Pad() {
    while (bytes_.size() % 4 != 0) {
      bytes_.push_back(std::byte{0});
    }
  }

  std::vector<std::byte> bytes_;
};

std::uint32_t Most(const VersionParts& parts) {
  return (std::uint32_t{parts.major} << 16) | parts.minor;
}
std::uint32_t Least(const VersionParts& parts) {
  return (std::uint32_t{parts.release} << 16) | parts.build;
}

void AppendFixedFileInfo(VersionBlockWriter& writer, const VersionResourceContents& contents) {
  writer.Append32(0xFEEF04BD);  // signature
  writer.Append32(0x00010000);  // structure version 1.0
  writer.Append32(Most(contents.file_version));
  writer.Append32(Least(contents.file_version));
  writer.Append32(Most(contents.product_version));
  writer.Append32(Least(contents.product_version));
  writer.Append32(0x3F);        // file flags mask
  writer.Append32(0);           // file flags
  writer.Append32(0x00040004);  // VOS_NT_WINDOWS32
  writer.Append32(1);           // VFT_APP
  writer.Append32(0);           // subtype
  writer.Append32(0);           // date, most significant
  writer.Append32(0);           // date, least significant
}

std::uint16_t TextValueLength(std::u16string_view text) {
  if (text.size() >= 0xFFFF) {
    throw std::length_error("version text too long");
  }
  return static_cast<std::uint16_t>(text.size() + 1);
}

// Resource directory tree with one entry per level: RT_VERSION, id 1 (VS_VERSION_INFO), the language.
std::vector<std::byte> BuildResourceSection(const VersionResourceContents& contents) {
  const std::vector<std::byte> block = BuildVersionInfoBlock(contents);
  constexpr std::uint32_t kSubdirectory = 0x80000000;
  constexpr std::uint32_t kNameDirectory = 0x18;
  constexpr std::uint32_t kLanguageDirectory = 0x30;
  constexpr std::uint32_t kDataEntry = 0x48;
  constexpr std::uint32_t kData = 0x58;
  std::vector<std::byte> section;
  const auto directory = [&section](std::uint32_t id, std::uint32_t target) {
    AppendLe32(section, 0);  // characteristics
    AppendLe32(section, 0);  // time stamp
    AppendLe32(section, 0);  // major and minor version
    AppendLe16(section, 0);  // named entries
    AppendLe16(section, 1);  // id entries
    AppendLe32(section, id);
    AppendLe32(section, target);
  };
  directory(16, kSubdirectory | kNameDirectory);
  directory(1, kSubdirectory | kLanguageDirectory);
  directory(contents.language, kDataEntry);
  AppendLe32(section, kResourceRva + kData);
  AppendLe32(section, static_cast<std::uint32_t>(block.size()));
  AppendLe32(section, 0);  // code page
  AppendLe32(section, 0);  // reserved
  section.insert(section.end(), block.begin(), block.end());
  return section;
}

void StoreName(std::span<std::byte> bytes, std::size_t at, std::string_view name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    bytes[at + i] = static_cast<std::byte>(name[i]);
  }
}

void StoreSectionHeader(std::span<std::byte> image, std::size_t at, std::string_view name,
                        std::uint32_t virtual_size, std::uint32_t rva, std::uint32_t raw_size,
                        std::uint32_t raw_offset, std::uint32_t characteristics) {
  StoreName(image, at, name);
  StoreLe32(image, at + 8, virtual_size);
  StoreLe32(image, at + 12, rva);
  StoreLe32(image, at + 16, raw_size);
  StoreLe32(image, at + 20, raw_offset);
  StoreLe32(image, at + 36, characteristics);
}

std::uint32_t ImageChecksum(std::span<const std::byte> image) {
  std::uint64_t sum = 0;
  for (std::size_t at = 0; at < image.size(); at += 2) {
    if (at == kChecksumOffset || at == kChecksumOffset + 2) {
      continue;
    }
    sum += at + 1 < image.size() ? LoadLe16(image, at) : std::to_integer<unsigned>(image[at]);
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint32_t>(sum + image.size());
}

}  // namespace

std::vector<std::byte> BuildVersionInfoBlock(const VersionResourceContents& contents) {
  VersionBlockWriter writer;
  const std::size_t root = writer.Open(u"VS_VERSION_INFO", 52, false);
  AppendFixedFileInfo(writer, contents);
  if (contents.with_string_table) {
    const std::size_t string_file_info = writer.Open(u"StringFileInfo", 0, true);
    std::array<char, 9> table_name{};
    std::snprintf(table_name.data(), table_name.size(), "%04X%04X", contents.language, contents.code_page);
    const std::size_t table = writer.Open(Utf8ToUtf16(table_name.data()), 0, true);
    for (const auto& [key, value] : contents.strings) {
      const std::u16string text = Utf8ToUtf16(value);
      const std::size_t string = writer.Open(Utf8ToUtf16(key), TextValueLength(text), true);
      writer.AppendText(text);
      writer.Close(string);
    }
    writer.Close(table);
    writer.Close(string_file_info);
  }
  if (contents.with_translation) {
    const std::size_t var_file_info = writer.Open(u"VarFileInfo", 0, true);
    const std::size_t translation = writer.Open(u"Translation", 4, false);
    writer.Append16(contents.language);
    writer.Append16(contents.code_page);
    writer.Close(translation);
    writer.Close(var_file_info);
  }
  writer.Close(root);
  return writer.Take();
}

std::vector<std::byte> BuildPeImage(const VersionResourceContents& contents) {
  const std::vector<std::byte> resources = BuildResourceSection(contents);
  const auto resource_size = static_cast<std::uint32_t>(resources.size());
  const std::uint32_t resource_raw_size = AlignUp(resource_size, kFileAlignment);
  std::vector<std::byte> image(kResourceFileOffset + resource_raw_size);

  // DOS header and stub.
  StoreName(image, 0, "MZ");
  StoreLe16(image, 0x02, 0x80);  // bytes in the last (only) page of the DOS program
  StoreLe16(image, 0x04, 1);     // pages
  StoreLe16(image, 0x08, 4);     // header size in paragraphs
  StoreLe16(image, 0x0C, 0xFFFF);
  StoreLe16(image, 0x10, 0xB8);  // initial stack pointer
  StoreLe16(image, 0x18, 0x40);  // relocation table offset
  StoreLe32(image, 0x3C, kNtHeadersOffset);
  for (std::size_t i = 0; i < kDosStub.size(); ++i) {
    image[0x40 + i] = static_cast<std::byte>(kDosStub[i]);
  }

  // Signature and COFF header.
  std::size_t at = kNtHeadersOffset;
  StoreName(image, at, "PE");
  StoreLe16(image, at + 4, 0x014C);  // i386
  StoreLe16(image, at + 6, kSectionCount);
  StoreLe16(image, at + 20, kOptionalHeaderSize);
  StoreLe16(image, at + 22, 0x0103);  // relocations stripped, executable, 32-bit machine

  // PE32 optional header.
  at += 24;
  StoreLe16(image, at + 0, 0x010B);
  image[at + 2] = std::byte{1};                 // linker version 1.0
  StoreLe32(image, at + 4, kFileAlignment);     // size of code
  StoreLe32(image, at + 8, resource_raw_size);  // size of initialised data
  StoreLe32(image, at + 16, kTextRva);          // entry point
  StoreLe32(image, at + 20, kTextRva);          // base of code
  StoreLe32(image, at + 24, kResourceRva);      // base of data
  StoreLe32(image, at + 28, kImageBase);
  StoreLe32(image, at + 32, kSectionAlignment);
  StoreLe32(image, at + 36, kFileAlignment);
  StoreLe16(image, at + 40, 4);  // operating system version 4.0
  StoreLe16(image, at + 48, 4);  // subsystem version 4.0
  StoreLe32(image, at + 56, kResourceRva + AlignUp(resource_size, kSectionAlignment));  // size of image
  StoreLe32(image, at + 60, kHeadersSize);
  StoreLe16(image, at + 68, 2);         // Windows GUI subsystem
  StoreLe32(image, at + 72, 0x100000);  // stack reserve
  StoreLe32(image, at + 76, 0x1000);    // stack commit
  StoreLe32(image, at + 80, 0x100000);  // heap reserve
  StoreLe32(image, at + 84, 0x1000);    // heap commit
  StoreLe32(image, at + 92, 16);        // data directories
  StoreLe32(image, at + 96 + 2 * 8, kResourceRva);
  StoreLe32(image, at + 96 + 2 * 8 + 4, resource_size);

  // Section table.
  at += kOptionalHeaderSize;
  StoreSectionHeader(image, at, ".text", kEntryCode.size(), kTextRva, kFileAlignment, kTextFileOffset,
                     0x60000020);  // code, execute, read
  StoreSectionHeader(image, at + 40, ".rsrc", resource_size, kResourceRva, resource_raw_size,
                     kResourceFileOffset, 0x40000040);  // initialised data, read

  for (std::size_t i = 0; i < kEntryCode.size(); ++i) {
    image[kTextFileOffset + i] = static_cast<std::byte>(kEntryCode[i]);
  }
  std::copy(resources.begin(), resources.end(), image.begin() + kResourceFileOffset);
  StoreLe32(image, kChecksumOffset, ImageChecksum(image));
  return image;
}

bool WritePeImage(const std::filesystem::path& file, std::span<const std::byte> image) {
  std::filesystem::path temporary = file;
  temporary += ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, file, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

}  // namespace velmora::platform

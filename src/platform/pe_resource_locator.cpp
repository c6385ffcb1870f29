#include "platform/pe_resource_locator.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <system_error>

#include "platform/little_endian.h"

namespace velmora::platform {
namespace {

constexpr std::uint16_t kDosMagic = 0x5A4D;         // "MZ"
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x010B;
constexpr std::uint16_t kPe32PlusMagic = 0x020B;
constexpr std::size_t kResourceDirectoryIndex = 2;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint32_t kVersionType = 16;   // RT_VERSION
constexpr std::uint32_t kVersionInfoId = 1;  // VS_VERSION_INFO, the id resource compilers give it
constexpr std::uint32_t kHighBit = 0x80000000;
constexpr std::uint64_t kMaxVersionData = 0x10000;  // wLength of the root block is 16 bits

class SpanSource final : public ByteSource {
 public:
  explicit SpanSource(std::span<const std::byte> image) : image_(image) {}

  bool Read(std::uint64_t offset, std::span<std::byte> out) override {
    if (offset > image_.size() || out.size() > image_.size() - offset) {
      return false;
    }
    if (!out.empty()) {
      std::memcpy(out.data(), image_.data() + offset, out.size());
    }
    return true;
  }

 private:
  std::span<const std::byte> image_;
};

class StreamSource final : public ByteSource {
 public:
  StreamSource(std::ifstream stream, std::uint64_t size) : stream_(std::move(stream)), size_(size) {}

  bool Read(std::uint64_t offset, std::span<std::byte> out) override {
    if (offset > size_ || out.size() > size_ - offset) {
      return false;
    }
    stream_.clear();
    stream_.seekg(static_cast<std::streamoff>(offset));
    stream_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return stream_.good() && static_cast<std::size_t>(stream_.gcount()) == out.size();
  }

 private:
  std::ifstream stream_;
  std::uint64_t size_;
};

struct DataDirectory {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

std::optional<DataDirectory> ResourceDirectory(std::span<const std::byte> optional_header) {
  if (optional_header.size() < 2) {
    return std::nullopt;
  }
  std::size_t directories_at = 0;
  switch (LoadLe16(optional_header, 0)) {
    case kPe32Magic:
      directories_at = 96;
      break;
    case kPe32PlusMagic:
      directories_at = 112;
      break;
    default:
      return std::nullopt;
  }
  const std::size_t entry_at = directories_at + kResourceDirectoryIndex * 8;
  if (optional_header.size() < entry_at + 8 ||
      LoadLe32(optional_header, directories_at - 4) <= kResourceDirectoryIndex) {
    return std::nullopt;
  }
  const DataDirectory directory{LoadLe32(optional_header, entry_at), LoadLe32(optional_header, entry_at + 4)};
  if (directory.rva == 0) {
    return std::nullopt;
  }
  return directory;
}

// Where a virtual address of the loaded image lies in the file.
struct FileRange {
  std::uint64_t offset = 0;
  std::uint64_t available = 0;  // bytes of the same section's file data from there on
};

class SectionTable {
 public:
  explicit SectionTable(std::vector<std::byte> raw) : raw_(std::move(raw)) {}

  std::optional<FileRange> Locate(std::uint32_t rva) const {
    for (std::size_t at = 0; at + kSectionHeaderSize <= raw_.size(); at += kSectionHeaderSize) {
      const std::uint32_t virtual_address = LoadLe32(raw_, at + 12);
      const std::uint32_t raw_size = LoadLe32(raw_, at + 16);
      const std::uint32_t raw_pointer = LoadLe32(raw_, at + 20);
      if (rva >= virtual_address && rva - virtual_address < raw_size) {
        const std::uint32_t delta = rva - virtual_address;
        return FileRange{std::uint64_t{raw_pointer} + delta, std::uint64_t{raw_size} - delta};
      }
    }
    return std::nullopt;
  }

 private:
  std::vector<std::byte> raw_;
};

struct DirectoryEntry {
  std::uint32_t name = 0;
  std::uint32_t target = 0;

  bool Named() const { return (name & kHighBit) != 0; }
  bool IsDirectory() const { return (target & kHighBit) != 0; }
  std::uint32_t Offset() const { return target & ~kHighBit; }
};

// The resource directory tree; its offsets count from the start of its root directory and must stay within
// the section that holds it.
class ResourceTree {
 public:
  ResourceTree(ByteSource& source, FileRange root) : source_(source), root_(root) {}

  // The data entry of the version resource: type RT_VERSION, the name VS_VERSION_INFO or else the first
  // one, the first language. The walk has a fixed depth, so a tree whose offsets loop cannot trap it.
  std::optional<std::uint32_t> VersionDataEntry() {
    const auto types = Entries(0);
    if (!types) {
      return std::nullopt;
    }
    const auto type = std::find_if(types->begin(), types->end(), [](const DirectoryEntry& entry) {
      return !entry.Named() && entry.name == kVersionType && entry.IsDirectory();
    });
    if (type == types->end()) {
      return std::nullopt;
    }
    const auto names = Entries(type->Offset());
    if (!names || names->empty()) {
      return std::nullopt;
    }
    auto name = std::find_if(names->begin(), names->end(), [](const DirectoryEntry& entry) {
      return !entry.Named() && entry.name == kVersionInfoId;
    });
    if (name == names->end()) {
      name = names->begin();
    }
    if (!name->IsDirectory()) {
      return std::nullopt;
    }
    const auto languages = Entries(name->Offset());
    if (!languages || languages->empty() || languages->front().IsDirectory()) {
      return std::nullopt;
    }
    return languages->front().Offset();
  }

  bool Read(std::uint64_t offset, std::span<std::byte> out) {
    if (offset > root_.available || out.size() > root_.available - offset) {
      return false;
    }
    return source_.Read(root_.offset + offset, out);
  }

 private:
  std::optional<std::vector<DirectoryEntry>> Entries(std::uint32_t offset) {
    std::array<std::byte, 16> header{};
    if (!Read(offset, header)) {
      return std::nullopt;
    }
    const std::size_t count = std::size_t{LoadLe16(header, 12)} + LoadLe16(header, 14);
    std::vector<std::byte> raw(count * 8);
    if (!Read(std::uint64_t{offset} + header.size(), raw)) {
      return std::nullopt;
    }
    std::vector<DirectoryEntry> entries(count);
    for (std::size_t i = 0; i < count; ++i) {
      entries[i] = DirectoryEntry{LoadLe32(raw, i * 8), LoadLe32(raw, i * 8 + 4)};
    }
    return entries;
  }

  ByteSource& source_;
  FileRange root_;
};

}  // namespace

std::unique_ptr<ByteSource> MemoryByteSource(std::span<const std::byte> image) {
  return std::make_unique<SpanSource>(image);
}

std::unique_ptr<ByteSource> FileByteSource(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    return nullptr;
  }
  const auto size = std::filesystem::file_size(file, error);
  if (error) {
    return nullptr;
  }
  std::ifstream stream(file, std::ios::binary);
  if (!stream) {
    return nullptr;
  }
  return std::make_unique<StreamSource>(std::move(stream), size);
}

std::optional<std::vector<std::byte>> FindVersionResourceData(ByteSource& source) {
  std::array<std::byte, 64> dos_header{};
  if (!source.Read(0, dos_header) || LoadLe16(dos_header, 0) != kDosMagic) {
    return std::nullopt;
  }
  const std::uint64_t nt_headers = LoadLe32(dos_header, 0x3C);
  std::array<std::byte, 24> file_header{};  // signature and COFF header
  if (!source.Read(nt_headers, file_header) || LoadLe32(file_header, 0) != kPeSignature) {
    return std::nullopt;
  }
  const std::size_t section_count = LoadLe16(file_header, 6);
  const std::size_t optional_header_size = LoadLe16(file_header, 20);

  std::vector<std::byte> optional_header(optional_header_size);
  if (!source.Read(nt_headers + file_header.size(), optional_header)) {
    return std::nullopt;
  }
  const auto resources = ResourceDirectory(optional_header);
  if (!resources) {
    return std::nullopt;
  }

  std::vector<std::byte> section_headers(section_count * kSectionHeaderSize);
  if (!source.Read(nt_headers + file_header.size() + optional_header_size, section_headers)) {
    return std::nullopt;
  }
  const SectionTable sections(std::move(section_headers));

  const auto root = sections.Locate(resources->rva);
  if (!root) {
    return std::nullopt;
  }
  ResourceTree tree(source, *root);
  const auto data_entry_offset = tree.VersionDataEntry();
  std::array<std::byte, 16> data_entry{};
  if (!data_entry_offset || !tree.Read(*data_entry_offset, data_entry)) {
    return std::nullopt;
  }
  const std::uint32_t data_rva = LoadLe32(data_entry, 0);
  const std::uint32_t data_size = LoadLe32(data_entry, 4);
  const auto data = sections.Locate(data_rva);
  if (data_size == 0 || !data || data->available < data_size) {
    return std::nullopt;
  }
  std::vector<std::byte> version(std::min<std::uint64_t>(data_size, kMaxVersionData));
  if (!source.Read(data->offset, version)) {
    return std::nullopt;
  }
  return version;
}

}  // namespace velmora::platform

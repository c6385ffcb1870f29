#include "platform/pe_version.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

#include "platform/little_endian.h"
#include "platform/pe_resource_locator.h"
#include "platform/utf16_text.h"

namespace velmora::platform {
namespace {

constexpr std::size_t kNodeHeaderSize = 6;  // wLength, wValueLength, wType
constexpr std::uint16_t kTextType = 1;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::size_t kFixedInfoSize = 52;

// Children and values of version blocks start on 32-bit boundaries counted from the start of the
// VS_VERSIONINFO block, which is offset 0 of our copy.
std::size_t Align4(std::size_t offset) {
  return (offset + 3) & ~std::size_t{3};
}

// One block of the version tree: wLength, wValueLength, wType, a zero-terminated UTF-16 key, padding, the
// value, padding, the child blocks. All offsets are within the block copy and already bounded by `end`.
struct Node {
  std::size_t end = 0;
  std::size_t key_begin = 0;
  std::size_t key_end = 0;  // at the terminating zero
  std::size_t value_begin = 0;
  std::size_t value_end = 0;
  std::size_t children_begin = 0;
};

std::optional<Node> ParseNode(std::span<const std::byte> block, std::size_t begin, std::size_t limit) {
  if (limit > block.size() || begin > limit || limit - begin < kNodeHeaderSize) {
    return std::nullopt;
  }
  const std::size_t length = LoadLe16(block, begin);
  if (length < kNodeHeaderSize || length > limit - begin) {
    return std::nullopt;
  }
  Node node;
  node.end = begin + length;
  node.key_begin = begin + kNodeHeaderSize;
  std::size_t at = node.key_begin;
  while (true) {
    if (node.end - at < 2) {
      return std::nullopt;  // the key has no terminating zero inside the block
    }
    if (LoadLe16(block, at) == 0) {
      break;
    }
    at += 2;
  }
  node.key_end = at;
  // wValueLength counts UTF-16 units for text values and bytes for binary ones.
  const std::size_t value_length = LoadLe16(block, begin + 2);
  const std::size_t value_bytes = LoadLe16(block, begin + 4) == kTextType ? value_length * 2 : value_length;
  node.value_begin = std::min(Align4(at + 2), node.end);
  node.value_end = node.value_begin + std::min(value_bytes, node.end - node.value_begin);
  node.children_begin = std::min(Align4(node.value_begin + value_bytes), node.end);
  return node;
}

char16_t FoldAscii(char16_t unit) {
  return unit >= u'A' && unit <= u'Z' ? unit - u'A' + u'a' : unit;
}

bool KeyEquals(std::span<const std::byte> block, const Node& node, std::u16string_view key) {
  if ((node.key_end - node.key_begin) / 2 != key.size()) {
    return false;
  }
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (FoldAscii(static_cast<char16_t>(LoadLe16(block, node.key_begin + i * 2))) != FoldAscii(key[i])) {
      return false;
    }
  }
  return true;
}

std::optional<Node> FindChild(std::span<const std::byte> block, const Node& parent, std::u16string_view key) {
  std::size_t at = parent.children_begin;
  while (at < parent.end) {
    const auto child = ParseNode(block, at, parent.end);
    if (!child) {
      return std::nullopt;
    }
    if (KeyEquals(block, *child, key)) {
      return child;
    }
    at = Align4(child->end);
  }
  return std::nullopt;
}

std::optional<Node> FindNode(std::span<const std::byte> block, std::string_view sub_block) {
  auto node = ParseNode(block, 0, block.size());
  while (node && !sub_block.empty()) {
    const auto separator = sub_block.find('\\');
    const auto component = sub_block.substr(0, separator);
    sub_block = separator == std::string_view::npos ? std::string_view{} : sub_block.substr(separator + 1);
    if (!component.empty()) {
      node = FindChild(block, *node, Utf8ToUtf16(component));
    }
  }
  return node;
}

std::optional<VersionParts> PartsAt(std::optional<std::span<const std::byte>> fixed_info, std::size_t at) {
  if (!fixed_info || fixed_info->size() < kFixedInfoSize || LoadLe32(*fixed_info, 0) != kFixedInfoSignature) {
    return std::nullopt;
  }
  const std::uint32_t most = LoadLe32(*fixed_info, at);
  const std::uint32_t least = LoadLe32(*fixed_info, at + 4);
  return VersionParts{static_cast<std::uint16_t>(most >> 16), static_cast<std::uint16_t>(most),
                      static_cast<std::uint16_t>(least >> 16), static_cast<std::uint16_t>(least)};
}

}  // namespace

std::string FormatVersionParts(const VersionParts& parts) {
  return std::to_string(parts.major) + "." + std::to_string(parts.minor) + "." +
         std::to_string(parts.release) + "." + std::to_string(parts.build);
}

std::optional<VersionParts> ParseVersionParts(std::string_view text) {
  const auto is_separator = [](char c) { return c == '.' || c == ',' || c == ' '; };
  while (!text.empty() && text.front() == ' ') {
    text.remove_prefix(1);
  }
  while (!text.empty() && text.back() == ' ') {
    text.remove_suffix(1);
  }
  std::array<std::uint16_t, 4> numbers{};
  std::size_t count = 0;
  const char* at = text.data();
  const char* const end = text.data() + text.size();
  while (true) {
    if (count == numbers.size()) {
      return std::nullopt;
    }
    const auto [next, error] = std::from_chars(at, end, numbers[count]);
    if (error != std::errc{} || next == at) {
      return std::nullopt;
    }
    ++count;
    at = next;
    if (at == end) {
      break;
    }
    if (!is_separator(*at)) {
      return std::nullopt;
    }
    while (at != end && is_separator(*at)) {
      ++at;
    }
  }
  return VersionParts{numbers[0], numbers[1], numbers[2], numbers[3]};
}

VersionResource::VersionResource(std::vector<std::byte> block) : block_(std::move(block)) {}

std::optional<VersionResource> VersionResource::FromImage(std::span<const std::byte> image) {
  auto data = FindVersionResourceData(*MemoryByteSource(image));
  return data ? FromBlock(*data) : std::nullopt;
}

std::optional<VersionResource> VersionResource::FromFile(const std::filesystem::path& file) {
  const auto source = FileByteSource(file);
  if (!source) {
    return std::nullopt;
  }
  auto data = FindVersionResourceData(*source);
  return data ? FromBlock(*data) : std::nullopt;
}

std::optional<VersionResource> VersionResource::FromBlock(std::span<const std::byte> block) {
  const auto root = ParseNode(block, 0, block.size());
  if (!root) {
    return std::nullopt;
  }
  // The root's wLength may be shorter than the resource data, which is often padded.
  return VersionResource({block.begin(), block.begin() + static_cast<std::ptrdiff_t>(root->end)});
}

std::optional<std::span<const std::byte>> VersionResource::QueryValue(std::string_view sub_block) const {
  const auto node = FindNode(block_, sub_block);
  if (!node) {
    return std::nullopt;
  }
  return std::span<const std::byte>(block_).subspan(node->value_begin, node->value_end - node->value_begin);
}

std::optional<std::string> VersionResource::QueryText(std::string_view sub_block) const {
  const auto node = FindNode(block_, sub_block);
  if (!node) {
    return std::nullopt;
  }
  // The text runs to its terminating zero, whatever wValueLength claims (some tools count bytes, some
  // nothing at all), but never past the end of its block.
  std::u16string text;
  for (std::size_t at = node->value_begin; at + 2 <= node->end; at += 2) {
    const char16_t unit = LoadLe16(block_, at);
    if (unit == 0) {
      break;
    }
    text.push_back(unit);
  }
  return Utf16ToUtf8(text);
}

std::vector<VersionTranslation> VersionResource::Translations() const {
  std::vector<VersionTranslation> translations;
  if (const auto value = QueryValue("\\VarFileInfo\\Translation")) {
    for (std::size_t at = 0; at + 4 <= value->size(); at += 4) {
      translations.push_back({LoadLe16(*value, at), LoadLe16(*value, at + 2)});
    }
  }
  return translations;
}

std::string VersionResource::VersionString(std::string_view key) const {
  std::string sub_block(key);
  if (const auto translations = Translations(); !translations.empty()) {
    std::array<char, 32> table{};
    std::snprintf(table.data(), table.size(), "\\StringFileInfo\\%04x%04x\\", translations.front().language,
                  translations.front().code_page);
    sub_block = table.data() + sub_block;
  }
  return QueryText(sub_block).value_or(std::string{});
}

std::optional<VersionParts> VersionResource::FixedFileVersion() const {
  return PartsAt(QueryValue("\\"), 8);
}

std::optional<VersionParts> VersionResource::FixedProductVersion() const {
  return PartsAt(QueryValue("\\"), 16);
}

std::string VersionStringOfImage(std::span<const std::byte> image, std::string_view key) {
  const auto resource = VersionResource::FromImage(image);
  return resource ? resource->VersionString(key) : std::string{};
}

std::string ProductVersionOfImage(std::span<const std::byte> image) {
  return VersionStringOfImage(image, "ProductVersion");
}

std::string VersionStringOfFile(const std::filesystem::path& file, std::string_view key) {
  const auto resource = VersionResource::FromFile(file);
  return resource ? resource->VersionString(key) : std::string{};
}

std::string ProductVersionOfFile(const std::filesystem::path& file) {
  return VersionStringOfFile(file, "ProductVersion");
}

std::optional<VersionParts> FixedFileVersionOfFile(const std::filesystem::path& file) {
  const auto resource = VersionResource::FromFile(file);
  return resource ? resource->FixedFileVersion() : std::nullopt;
}

}  // namespace velmora::platform

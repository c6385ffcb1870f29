#include "platform/utf16_text.h"

#include <cstdint>

namespace velmora::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t code_point) {
  const auto byte = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
  if (code_point < 0x80) {
    byte(code_point);
  } else if (code_point < 0x800) {
    byte(0xC0 | (code_point >> 6));
    byte(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    byte(0xE0 | (code_point >> 12));
    byte(0x80 | ((code_point >> 6) & 0x3F));
    byte(0x80 | (code_point & 0x3F));
  } else {
    byte(0xF0 | (code_point >> 18));
    byte(0x80 | ((code_point >> 12) & 0x3F));
    byte(0x80 | ((code_point >> 6) & 0x3F));
    byte(0x80 | (code_point & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t code_point) {
  if (code_point < 0x10000) {
    out.push_back(static_cast<char16_t>(code_point));
  } else {
    code_point -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code_point >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
  }
}

// Decodes one UTF-8 sequence at `text[index]`, advancing `index` past it (or past one byte when the
// sequence is malformed, so that decoding resynchronises at the next byte).
char32_t DecodeUtf8(std::string_view text, std::size_t& index) {
  const auto lead = static_cast<std::uint8_t>(text[index]);
  ++index;
  if (lead < 0x80) {
    return lead;
  }
  std::size_t trail_count = 0;
  char32_t code_point = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    trail_count = 1;
    code_point = lead & 0x1F;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    trail_count = 2;
    code_point = lead & 0x0F;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    trail_count = 3;
    code_point = lead & 0x07;
    minimum = 0x10000;
  } else {
    return kReplacement;
  }
  if (text.size() - index < trail_count) {
    return kReplacement;
  }
  for (std::size_t i = 0; i < trail_count; ++i) {
    const auto trail = static_cast<std::uint8_t>(text[index + i]);
    if ((trail & 0xC0) != 0x80) {
      return kReplacement;
    }
    code_point = (code_point << 6) | (trail & 0x3F);
  }
  index += trail_count;
  if (code_point < minimum || code_point > 0x10FFFF || IsHighSurrogate(code_point) ||
      IsLowSurrogate(code_point)) {
    return kReplacement;
  }
  return code_point;
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t index = 0;
  while (index < text.size()) {
    AppendUtf16(out, DecodeUtf8(text, index));
  }
  return out;
}

}  // namespace velmora::platform

#include "record_json.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace velmora::cli {
namespace {

template <typename T>
T FieldAt(const TGameData& record, std::size_t offset) {
  T value;
  std::memcpy(&value, reinterpret_cast<const unsigned char*>(&record) + offset, sizeof value);
  return value;
}

template <typename T>
void AppendNumber(std::string& json, T value) {
  if constexpr (std::is_floating_point_v<T>) {
    if (!std::isfinite(value)) {
      json += "null";  // JSON has no infinities or NaN
      return;
    }
  }
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  json.append(text, result.ptr);
}

}  // namespace

std::string RecordJson(const TGameData& record) {
  std::string json = "{";
  bool first = true;
  for (const TGameDataField& field : kGameDataFields) {
    if (!first) {
      json += ',';
    }
    first = false;
    json += '"';
    json += field.name;
    json += "\":";
    switch (field.kind) {
      case TGameDataField::Kind::kByte:
        AppendNumber(json, static_cast<int>(FieldAt<std::uint8_t>(record, field.offset)));
        break;
      case TGameDataField::Kind::kSmallInt:
        AppendNumber(json, FieldAt<std::int16_t>(record, field.offset));
        break;
      case TGameDataField::Kind::kInteger:
        AppendNumber(json, FieldAt<std::int32_t>(record, field.offset));
        break;
      case TGameDataField::Kind::kSingle:
        AppendNumber(json, FieldAt<float>(record, field.offset));
        break;
      case TGameDataField::Kind::kDouble:
        AppendNumber(json, FieldAt<double>(record, field.offset));
        break;
    }
  }
  json += '}';
  return json;
}

}  // namespace velmora::cli

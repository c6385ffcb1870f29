#include "state_memory.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace velmora::sim {

namespace {

// The simulators keep their data little-endian, as this machine does; the bytes are copied as they are.
static_assert(std::endian::native == std::endian::little);

template <typename T>
void Put(SimMemory& memory, std::uint32_t address, T value) {
  std::array<std::byte, sizeof(T)> bytes;
  std::memcpy(bytes.data(), &value, sizeof(T));
  memory.Write(address, bytes);
}

template <typename T>
T Get(const SimMemory& memory, std::uint32_t address) {
  std::array<std::byte, sizeof(T)> bytes{};
  memory.Read(address, bytes);
  T value;
  std::memcpy(&value, bytes.data(), sizeof(T));
  return value;
}

// The field's value as a number, whatever its C++ type.
double NumberOf(const FieldRef& field) {
  return std::visit(
      [](auto* pointer) -> double {
        if constexpr (std::is_same_v<decltype(pointer), std::string*>) {
          return 0.0;
        } else {
          return static_cast<double>(*pointer);
        }
      },
      field);
}

}  // namespace

StateMemory::StateMemory(const SimLayout& layout, SimMemory& memory) : layout_(&layout), memory_(&memory) {}

void StateMemory::Publish(SimState& state) {
  for (const SimDatum& datum : layout_->Datums()) {
    const int records = datum.per_driver ? layout_->Records() : 1;
    for (int slot = 0; slot < records; ++slot) {
      Publish(state, datum, slot);
    }
  }
}

void StateMemory::Publish(SimState& state, const SimDatum& datum, int slot) {
  if (datum.locate == nullptr) {
    return;
  }
  const FieldRef field = datum.locate(state, static_cast<std::size_t>(slot));
  const std::uint32_t address = layout_->AddressOf(datum, slot);
  // Integer fields hold exactly their datum type, so the casts below change no value.
  switch (datum.type) {
    case Datum::Byte:
      Put(*memory_, address, static_cast<std::uint8_t>(NumberOf(field)));
      break;
    case Datum::SmallInt:
      Put(*memory_, address, static_cast<std::int16_t>(NumberOf(field)));
      break;
    case Datum::Integer:
      Put(*memory_, address, static_cast<std::int32_t>(NumberOf(field)));
      break;
    case Datum::Single:
      Put(*memory_, address, static_cast<float>(NumberOf(field)));
      break;
    case Datum::Double:
      Put(*memory_, address, NumberOf(field));
      break;
    case Datum::Text: {
      std::vector<std::byte> bytes(SimLayout::kTextCapacity);  // zero-filled: the text ends in a zero byte
      if (auto* const* text = std::get_if<std::string*>(&field)) {
        std::memcpy(bytes.data(), (*text)->data(), std::min<std::size_t>((*text)->size(), bytes.size() - 1));
      }
      memory_->Write(address, bytes);
      break;
    }
    case Datum::None:
      break;
  }
}

DatumValue StateMemory::Read(const SimDatum& datum, int slot) const {
  const std::uint32_t address = layout_->AddressOf(datum, slot);
  switch (datum.type) {
    case Datum::Byte:
      return std::int64_t{Get<std::uint8_t>(*memory_, address)};
    case Datum::SmallInt:
      return std::int64_t{Get<std::int16_t>(*memory_, address)};
    case Datum::Integer:
      return std::int64_t{Get<std::int32_t>(*memory_, address)};
    case Datum::Single:
      return double{Get<float>(*memory_, address)};
    case Datum::Double:
      return Get<double>(*memory_, address);
    case Datum::Text: {
      std::array<char, SimLayout::kTextCapacity> bytes{};
      memory_->Read(address, std::as_writable_bytes(std::span(bytes)));
      return std::string(bytes.data(), strnlen(bytes.data(), bytes.size()));
    }
    case Datum::None:
      break;
  }
  return std::int64_t{0};
}

void StateMemory::Assign(SimState& state, const SimDatum& datum, int slot, const DatumValue& value) {
  const FieldRef field = datum.locate(state, static_cast<std::size_t>(slot));
  std::visit(
      [&value](auto* pointer) {
        using Field = std::remove_pointer_t<decltype(pointer)>;
        if constexpr (std::is_same_v<Field, std::string>) {
          if (const auto* text = std::get_if<std::string>(&value)) {
            *pointer = *text;
          }
        } else if (const auto* whole = std::get_if<std::int64_t>(&value)) {
          *pointer = static_cast<Field>(*whole);
        } else if (const auto* real = std::get_if<double>(&value)) {
          *pointer = static_cast<Field>(*real);
        }
      },
      field);
}

}  // namespace velmora::sim

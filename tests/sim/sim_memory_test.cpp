#include "sim_memory.h"

#include <array>
#include <cstring>

#include <gtest/gtest.h>

#include "session_model.h"
#include "sim_layout.h"
#include "state_memory.h"

namespace velmora::sim {
namespace {

const AddressTable& Table(char name) {
  return *AddressTableNamed(name);
}

std::unique_ptr<SimMemory> ReserveFor(const SimLayout& layout) {
  std::string error;
  auto memory = SimMemory::Reserve(layout.Begin(), layout.End(), error);
  EXPECT_NE(memory, nullptr) << error;
  return memory;
}

TEST(SimMemoryTest, MapsWholePagesAtTheAddressesAsked) {
  std::string error;
  const auto memory = SimMemory::Reserve(0x82E3CC, 0x116D51C, error);
  ASSERT_NE(memory, nullptr) << error;
  EXPECT_EQ(memory->Begin(), 0x82E000U);
  EXPECT_EQ(memory->End(), 0x116E000U);
  // The data live at exactly these numbers in this process, as another process will read them.
  const std::array<std::byte, 2> bytes{std::byte{0x12}, std::byte{0x34}};
  ASSERT_TRUE(memory->Write(0xD7C178, bytes));
  EXPECT_EQ(*reinterpret_cast<const volatile std::uint8_t*>(std::uintptr_t{0xD7C179}), 0x34);
  std::array<std::byte, 2> back{};
  EXPECT_TRUE(memory->Read(0xD7C178, back));
  EXPECT_EQ(back, bytes);
}

TEST(SimMemoryTest, RefusesBytesOutsideTheMapping) {
  std::string error;
  const auto memory = SimMemory::Reserve(0x900000, 0x901000, error);
  ASSERT_NE(memory, nullptr) << error;
  std::array<std::byte, 4> bytes{};
  EXPECT_TRUE(memory->Write(0x900FFC, bytes));
  EXPECT_FALSE(memory->Write(0x900FFD, bytes));
  EXPECT_FALSE(memory->Write(0x8FFFFF, bytes));
  EXPECT_FALSE(memory->Read(0x901000, bytes));
}

TEST(SimMemoryTest, ASecondLayoutOverTheSameRangeIsTurnedAwayClearly) {
  const SimLayout h(Table('H'), 20);
  const SimLayout g(Table('G'), 20);
  const auto first = ReserveFor(h);
  ASSERT_NE(first, nullptr);
  std::string error;
  EXPECT_EQ(SimMemory::Reserve(g.Begin(), g.End(), error), nullptr);
  char expected[80];
  std::snprintf(expected, sizeof expected, "address range 0x%X - 0x%X is already in use",
                g.Begin() / 4096 * 4096, (g.End() + 4095) / 4096 * 4096);
  EXPECT_EQ(error, expected);
  // The first mapping is untouched by the failed attempt.
  std::array<std::byte, 1> byte{std::byte{7}};
  EXPECT_TRUE(first->Write(h.Begin(), byte));
}

// Every table's data, with the most drivers a session can have, fit where the stand-in can put them (on
// Windows, the data section of its own image).
TEST(SimMemoryTest, EveryTablesLayoutCanBeReserved) {
  for (const AddressTable* table : AddressTables()) {
    const SimLayout layout(*table, SessionModel::kMaxDrivers);
    SCOPED_TRACE(std::string(1, layout.TableName()));
    std::string error;
    EXPECT_NE(SimMemory::Reserve(layout.Begin(), layout.End(), error), nullptr) << error;
  }
}

TEST(SimMemoryTest, AnEmptyOrNullRangeIsRefused) {
  std::string error;
  EXPECT_EQ(SimMemory::Reserve(0x900000, 0x900000, error), nullptr);
  EXPECT_NE(error.find("cannot be mapped"), std::string::npos);
  EXPECT_EQ(SimMemory::Reserve(0x10, 0x2000, error), nullptr);
}

TEST(PagesCoveringTest, RoundsOutToWholePagesOrSaysWhyNot) {
  struct Case {
    std::uint32_t begin;
    std::uint32_t end;
    std::uint64_t page_size;
    const char* text;  // empty: refused
  };
  const Case cases[] = {
      {0x900010, 0x900020, 0x1000, "0x900000 - 0x901000"},
      {0x900000, 0x901000, 0x1000, "0x900000 - 0x901000"},
      {0x900FFF, 0x901001, 0x1000, "0x900000 - 0x902000"},
      {0x90ABCD, 0x90ABCE, 0x10000, "0x900000 - 0x910000"},
      {0x900000, 0x900000, 0x1000, ""},       // empty
      {0x900010, 0x900000, 0x1000, ""},       // backwards
      {0x10, 0x2000, 0x1000, ""},             // the page at zero
      {0xFFFFF000, 0xFFFFFFFF, 0x10000, ""},  // past 4 GiB once rounded out
  };
  for (const Case& c : cases) {
    std::string error;
    const auto pages = PagesCovering(c.begin, c.end, c.page_size, error);
    if (*c.text == '\0') {
      EXPECT_FALSE(pages.has_value()) << std::hex << c.begin;
      EXPECT_NE(error.find("cannot be mapped"), std::string::npos) << error;
    } else {
      ASSERT_TRUE(pages.has_value()) << std::hex << c.begin << " " << error;
      EXPECT_EQ(pages->text, c.text);
      EXPECT_EQ(HexAddress(pages->first) + " - " + HexAddress(pages->last), c.text);
    }
  }
}

// The bytes of a datum, as a reader in another process gets them.
template <std::size_t N>
std::array<std::uint8_t, N> BytesAt(const SimMemory& memory, std::uint32_t address) {
  std::array<std::byte, N> raw{};
  EXPECT_TRUE(memory.Read(address, raw));
  std::array<std::uint8_t, N> bytes{};
  std::memcpy(bytes.data(), raw.data(), N);
  return bytes;
}

TEST(StateMemoryTest, LaysEachDatumOutLittleEndianInItsOwnType) {
  const SimLayout layout(Table('H'), 4);
  auto memory = ReserveFor(layout);
  ASSERT_NE(memory, nullptr);
  SessionModel model(3, 4, 2);
  SimState& state = model.State();
  state.session.type = 6;
  state.player.abs = -2;
  state.player.water_k = 363.15;
  state.player.in_cockpit = 1;
  state.drivers[3].best_lap_s = 90.5F;
  state.drivers[3].name = "Zo\xEB";  // Latin-1
  StateMemory writer(layout, *memory);
  writer.Publish(state);

  EXPECT_EQ((BytesAt<4>(*memory, 0x913748)),
            (std::array<std::uint8_t, 4>{0x06, 0x00, 0x00, 0x00}));                       // int32 6
  EXPECT_EQ((BytesAt<2>(*memory, 0xD7C178)), (std::array<std::uint8_t, 2>{0xFE, 0xFF}));  // int16 -2
  EXPECT_EQ((BytesAt<1>(*memory, 0xD7C170)), (std::array<std::uint8_t, 1>{0x01}));
  // 363.15 as a Double: 0x4076B26666666666
  EXPECT_EQ((BytesAt<8>(*memory, 0xD7E5A0)),
            (std::array<std::uint8_t, 8>{0x66, 0x66, 0x66, 0x66, 0x66, 0xB2, 0x76, 0x40}));
  // 90.5 as a Single: 0x42B50000, in the best-lap place of the fourth record
  EXPECT_EQ((BytesAt<4>(*memory, 0xA21138 + 188 + 3 * 33696)),
            (std::array<std::uint8_t, 4>{0x00, 0x00, 0xB5, 0x42}));
  EXPECT_EQ((BytesAt<4>(*memory, 0xA21A68 + 3 * 33696)), (std::array<std::uint8_t, 4>{'Z', 'o', 0xEB, 0x00}));

  EXPECT_EQ(std::get<std::int64_t>(writer.Read(*layout.Find("FABS"), 0)), -2);
  EXPECT_EQ(std::get<double>(writer.Read(*layout.Find("FEau"), 0)), 363.15);
  EXPECT_EQ(std::get<double>(writer.Read(*layout.Find("FTemps.MeilleurTour"), 3)), 90.5);
  EXPECT_EQ(std::get<std::string>(writer.Read(*layout.Find("FNomPilote"), 3)), "Zo\xEB");
}

TEST(StateMemoryTest, ALongTextIsCutToItsFieldAndEndsInAZero) {
  const SimLayout layout(Table('H'), 2);
  auto memory = ReserveFor(layout);
  ASSERT_NE(memory, nullptr);
  SessionModel model(3, 2, 0);
  model.State().drivers[1].name = std::string(40, 'x');
  StateMemory writer(layout, *memory);
  writer.Publish(model.State());
  const SimDatum& name = *layout.Find("FNomPilote");
  EXPECT_EQ(std::get<std::string>(writer.Read(name, 1)), std::string(SimLayout::kTextCapacity - 1, 'x'));
  EXPECT_EQ((BytesAt<1>(*memory, layout.AddressOf(name, 1) + SimLayout::kTextCapacity - 1))[0], 0);
}

}  // namespace
}  // namespace velmora::sim

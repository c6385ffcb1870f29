#include "sim_layout.h"

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

namespace velmora::sim {
namespace {

const AddressTable& Table(char name) {
  return *AddressTableNamed(name);
}

// The C++ type of the state field must be exactly the datum's type, so that nothing is lost on the way
// to memory.
bool FieldSuits(Datum type, const FieldRef& field) {
  switch (type) {
    case Datum::Byte:
      return std::holds_alternative<std::uint8_t*>(field);
    case Datum::SmallInt:
      return std::holds_alternative<std::int16_t*>(field);
    case Datum::Integer:
      return std::holds_alternative<std::int32_t*>(field);
    case Datum::Single:
      return std::holds_alternative<float*>(field);
    case Datum::Double:
      return std::holds_alternative<double*>(field);
    case Datum::Text:
      return std::holds_alternative<std::string*>(field);
    case Datum::None:
      return false;
  }
  return false;
}

TEST(SimLayoutTest, EveryDatumOfEveryTableHasAFieldOfItsType) {
  SimState state;
  state.drivers.resize(1);
  for (const AddressTable* table : AddressTables()) {
    const SimLayout layout(*table, 1);
    for (const SimDatum& datum : layout.Datums()) {
      SCOPED_TRACE(std::string(1, table->name) + " " + datum.name);
      ASSERT_NE(datum.locate, nullptr);
      EXPECT_TRUE(FieldSuits(datum.type, datum.locate(state, 0)));
    }
  }
}

TEST(SimLayoutTest, NoTwoDataShareABytePastAllFiftyRecords) {
  for (const AddressTable* table : AddressTables()) {
    const SimLayout layout(*table, 50);
    struct Span {
      std::uint32_t begin;
      std::uint32_t end;
      std::string what;
    };
    std::vector<Span> spans;
    for (const SimDatum& datum : layout.Datums()) {
      const int records = datum.per_driver ? layout.Records() : 1;
      for (int slot = 0; slot < records; ++slot) {
        const std::uint32_t at = layout.AddressOf(datum, slot);
        spans.push_back({at, at + SimLayout::SizeOf(datum.type), datum.name + "@" + std::to_string(slot)});
      }
    }
    std::ranges::sort(spans, {}, &Span::begin);
    for (std::size_t i = 1; i < spans.size(); ++i) {
      EXPECT_LE(spans[i - 1].end, spans[i].begin)
          << "table " << table->name << ": " << spans[i - 1].what << " overlaps " << spans[i].what;
    }
    EXPECT_EQ(layout.Begin(), spans.front().begin);
    EXPECT_EQ(layout.End(), std::ranges::max(spans, {}, &Span::end).end);
  }
}

TEST(SimLayoutTest, TableHPlacesTheDataItLists) {
  const SimLayout layout(Table('H'), 20);
  struct Case {
    const char* name;
    Datum type;
    std::uint32_t address;
    bool per_driver;
  };
  const Case cases[] = {
      {"FInCokpit", Datum::Byte, 0xD7C170, false},
      {"FPneuAvantGauche.FTempExterieure", Datum::Double, 0xD7C810, false},
      {"FPneuAvantDroit.FTempExterieure", Datum::Double, 0xD7CD30, false},
      {"FABS", Datum::SmallInt, 0xD7C178, false},
      {"FUsureMoteur", Datum::Double, 0xD7E5C8, false},
      {"FUsureMoteur.Reference", Datum::Double, 0xD7E5D0, false},
      {"FSlotJoueur", Datum::Byte, 0x82E3CC, false},
      {"FNombreJoueur", Datum::SmallInt, 0x832BA4, false},
      {"FNombreTour", Datum::SmallInt, 0xA21124, true},
      {"FTemps.DernierTour", Datum::Single, 0xA21138, true},
      {"FTemps.DernierTourSecteur2", Datum::Single, 0xA21138 + 8, true},
      {"FTemps.MeilleurTour", Datum::Single, 0xA21138 + 188, true},
      {"FTemps.MeilleurTourSecteur2", Datum::Single, 0xA21138 + 196, true},
      {"FNomPilote", Datum::Text, 0xA21A68, true},
      {"FSession.TypeSession", Datum::Integer, 0x913748, false},
      {"FSession.TimerSession", Datum::Single, 0x91374C, false},
      {"FSession.TempsSession", Datum::Single, 0x11640F0, false},
      {"FSession.TempsSessionGreenFlag", Datum::Single, 0x11640EC, false},
      {"FSession.NbToursSession", Datum::SmallInt, 0x11640E8, false},
      {"FTemperaturePiste", Datum::Single, 0x116D518, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SimDatum* datum = layout.Find(c.name);
    ASSERT_NE(datum, nullptr);
    EXPECT_EQ(datum->type, c.type);
    EXPECT_EQ(datum->address, c.address);
    EXPECT_EQ(datum->per_driver, c.per_driver);
  }
  EXPECT_EQ(layout.RecordLength(), 33696U);
  EXPECT_EQ(layout.Records(), 20);
  EXPECT_EQ(layout.AddressOf(*layout.Find("FNombreTour"), 3), 0xA21124U + 3 * 33696U);
  EXPECT_EQ(layout.AddressOf(*layout.Find("FEau"), 3), 0xD7E5A0U);
  EXPECT_EQ(layout.Begin(), 0x82E3CCU);
  EXPECT_EQ(layout.End(), 0x116D518U + 4);
  // The record length and the fuel average are no data in memory.
  EXPECT_EQ(layout.Find("FRecLongueur"), nullptr);
  EXPECT_EQ(layout.Find("FMoyenneFuel"), nullptr);
}

TEST(SimLayoutTest, PartialTablesLeaveOutWhatTheyDoNotList) {
  struct Case {
    char table;
    const char* present;
    const char* absent;
  };
  const Case cases[] = {
      {'A', "FNomVoiture", "FSlotJoueur"},
      {'A', "FPneuArriereDroit.FDisqueFrein", "FFuel"},
      {'B', "FFuel", "FSession.TypeSession"},
      {'B', "FTemps.MeilleurTour", "FNomPilote"},
      {'C', "FLongueurCircuit", "FNombreJoueur"},
      {'C', "FDistance", "FUsureMoteur.Reference"},
      {'J', "FUsureMoteur.Reference", "FNomVoiture"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.table) + " " + c.present + " / " + c.absent);
    const SimLayout layout(Table(c.table), 20);
    EXPECT_NE(layout.Find(c.present), nullptr);
    EXPECT_EQ(layout.Find(c.absent), nullptr);
    EXPECT_TRUE(IsKnownDatumName(c.absent));
  }
  EXPECT_FALSE(IsKnownDatumName("FNothing"));
}

TEST(SimLayoutTest, ATableWithoutRecordLengthHoldsThePlayersRecordOnly) {
  const SimLayout layout(Table('A'), 20);
  EXPECT_EQ(layout.RecordLength(), 0U);
  EXPECT_EQ(layout.Records(), 1);
  EXPECT_EQ(layout.Datums().size(), 30U);  // its 30 entries, none of them with several data
}

}  // namespace
}  // namespace velmora::sim

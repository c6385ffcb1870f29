#include "game/address_tables.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace velmora {
namespace {

using enum Member;

const AddressTable& Table(char name) {
  return *AddressTableNamed(name);
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
  return text;
}

// One entry in the form the command line prints it.
std::string Describe(const AddressTableEntry& entry) {
  std::string line(MemberName(entry.member));
  switch (entry.kind) {
    case EntryKind::Address:
      return line + " address " + Hex(entry.Address());
    case EntryKind::BaseAddress:
      return line + " base " + Hex(entry.Address());
    case EntryKind::AddressWithReference:
      return line + " address " + Hex(entry.Address()) + " delta " +
             std::to_string(kEngineWearReferenceDelta);
    case EntryKind::LapTiming:
      line += " base " + Hex(entry.Address()) + " deltas";
      for (std::uint32_t delta : kLapTimingDeltas) {
        line += " " + std::to_string(delta);
      }
      return line;
    case EntryKind::Session:
      line += " session";
      for (const Place& place : entry.places) {
        line += " " + Hex(place.address);
      }
      return line;
    case EntryKind::ActiveOnly:
      return line + " active";
    case EntryKind::RecordLength:
      return line + " length " + std::to_string(entry.record_length);
  }
  return line;
}

std::optional<std::uint32_t> AddressOf(const AddressTable& table, Member member) {
  const AddressTableEntry* entry = table.Find(member);
  if (entry == nullptr) {
    return std::nullopt;
  }
  return entry->Address();
}

// ---- selection -----------------------------------------------------------------------------------------

struct SelectionCase {
  const char* title;
  const char* version;
  int rule;  // 1 to 10, 0 for none
};

TEST(AddressTableRulesTest, FirstRuleAcceptingTitleAndVersionWins) {
  const SelectionCase cases[] = {
      {"RACE 07", "1, 1, 1, 2", 1},
      {"race 07", "1, 1, 1, 2", 1},
      {"Race 07", "1, 1, 1, 2", 1},
      {"GTR Evolution", "1, 1, 1, 2", 0},
      {"GTR Evolution", "1, 1, 1, 14", 2},
      {"STCC - The Game", "1, 1, 1, 14", 0},
      {"stcc - the game", "1, 1, 1, 20", 3},
      {"RACE On", "1, 1, 1, 20", 0},
      {"GTR Evolution", "1, 2, 0, 1", 4},
      {"STCC - The Game", "1, 2, 0, 8", 5},
      {"RACE On", "1, 2, 0, 8", 0},
      {"RACE On", "1, 2, 0, 13", 6},
      {"race on", "1, 2, 1, 2", 7},
      {"Race 07", "1, 2, 1, 5", 8},
      {"RACE On", "1, 2, 1, 9", 9},
      {"Real-Time Racing", "1, 0, 0, 0", 10},
      {"REAL-TIME RACING", "1, 0, 0, 0", 10},
      {"Race 07", "1, 0, 0, 0", 0},
      {"Real-Time Racing", "1, 2, 1, 9", 0},
      // Only letter case is forgiven: no trimming, no reading of numbers, no other separators.
      {"Race 07", "1, 2, 1, 9 ", 0},
      {"Race 07", " 1, 2, 1, 9", 0},
      {"Race 07 ", "1, 2, 1, 9", 0},
      {"Race 07", "1.2.1.9", 0},
      {"Race 07", "1, 2, 1, 09", 0},
      {"Race 07", "1,2,1,9", 0},
      {"Race", "1, 2, 1, 9", 0},
      {"", "", 0},
  };
  const auto rules = AddressTableRules();
  ASSERT_EQ(rules.size(), 10u);
  for (const SelectionCase& c : cases) {
    SCOPED_TRACE(std::string(c.title) + " / " + c.version);
    const AddressTableRule* rule = FindAddressTableRule(c.title, c.version);
    if (c.rule == 0) {
      EXPECT_EQ(rule, nullptr);
      EXPECT_EQ(FindAddressTable(c.title, c.version), nullptr);
    } else {
      ASSERT_NE(rule, nullptr);
      EXPECT_EQ(rule - rules.data() + 1, c.rule);
      EXPECT_EQ(FindAddressTable(c.title, c.version), rule->table);
    }
  }
}

TEST(AddressTableRulesTest, EachRuleSelectsItsTable) {
  const char expected[] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'G', 'H', 'J'};
  const auto rules = AddressTableRules();
  for (std::size_t i = 0; i < rules.size(); ++i) {
    EXPECT_EQ(rules[i].table->name, expected[i]) << "rule " << i + 1;
  }
  EXPECT_EQ(FindAddressTable("RACE On", "1, 2, 1, 2"), FindAddressTable("RACE On", "1, 2, 1, 5"));
}

TEST(AddressTableRulesTest, LayoutOfAVersionWhateverTheTitle) {
  EXPECT_EQ(FindAddressTableForVersion("1, 2, 1, 5")->name, 'G');
  EXPECT_EQ(FindAddressTableForVersion("1, 0, 0, 0")->name, 'J');
  EXPECT_EQ(FindAddressTableForVersion("1, 1, 1, 2")->name, 'A');
  EXPECT_EQ(FindAddressTableForVersion("1, 2, 1, 9 "), nullptr);
  EXPECT_EQ(FindAddressTableForVersion(""), nullptr);
}

// ---- contents ------------------------------------------------------------------------------------------

TEST(AddressTablesTest, EntryCountsAndNoMemberTwice) {
  const std::map<char, std::size_t> counts = {{'A', 30}, {'B', 44}, {'C', 61}, {'D', 70}, {'E', 70},
                                              {'F', 70}, {'G', 70}, {'H', 70}, {'J', 70}};
  ASSERT_EQ(AddressTables().size(), counts.size());
  for (const auto& [name, count] : counts) {
    const AddressTable& table = Table(name);
    EXPECT_EQ(table.entries.size(), count) << "table " << name;
    std::vector<Member> members;
    for (const AddressTableEntry& entry : table.entries) {
      members.push_back(entry.member);
    }
    std::ranges::sort(members);
    EXPECT_EQ(std::ranges::adjacent_find(members), members.end()) << "table " << name;
  }
}

TEST(AddressTablesTest, TableHEntryByEntry) {
  const char* const expected[] = {
      "FInCokpit address 0xD7C170",
      "FContact address 0xD7E462",
      "FPneuAvantGauche.FVitesse address 0xD7C510",
      "FPneuAvantGauche.FRayon address 0xD7C668",
      "FPneuAvantGauche.FTempExterieure address 0xD7C810",
      "FPneuAvantGauche.FTempMilieu address 0xD7C818",
      "FPneuAvantGauche.FTempInterieure address 0xD7C820",
      "FPneuAvantGauche.FPression address 0xD7C838",
      "FPneuAvantGauche.FDisqueFrein address 0xD7C8E0",
      "FPneuAvantGauche.FUsure address 0xD7C858",
      "FPneuAvantDroit.FVitesse address 0xD7CA20",
      "FPneuAvantDroit.FRayon address 0xD7CB78",
      "FPneuAvantDroit.FTempExterieure address 0xD7CD30",
      "FPneuAvantDroit.FTempMilieu address 0xD7CD28",
      "FPneuAvantDroit.FTempInterieure address 0xD7CD20",
      "FPneuAvantDroit.FPression address 0xD7CD48",
      "FPneuAvantDroit.FDisqueFrein address 0xD7CDF0",
      "FPneuAvantDroit.FUsure address 0xD7CD68",
      "FPneuArriereGauche.FVitesse address 0xD7CF30",
      "FPneuArriereGauche.FRayon address 0xD7D088",
      "FPneuArriereGauche.FTempExterieure address 0xD7D230",
      "FPneuArriereGauche.FTempMilieu address 0xD7D238",
      "FPneuArriereGauche.FTempInterieure address 0xD7D240",
      "FPneuArriereGauche.FPression address 0xD7D258",
      "FPneuArriereGauche.FDisqueFrein address 0xD7D300",
      "FPneuArriereGauche.FUsure address 0xD7D278",
      "FPneuArriereDroit.FVitesse address 0xD7D440",
      "FPneuArriereDroit.FRayon address 0xD7D598",
      "FPneuArriereDroit.FTempExterieure address 0xD7D750",
      "FPneuArriereDroit.FTempMilieu address 0xD7D748",
      "FPneuArriereDroit.FTempInterieure address 0xD7D740",
      "FPneuArriereDroit.FPression address 0xD7D768",
      "FPneuArriereDroit.FDisqueFrein address 0xD7D810",
      "FPneuArriereDroit.FUsure address 0xD7D788",
      "FABS address 0xD7C178",
      "FEau address 0xD7E5A0",
      "FEmbrayageLed address 0xD7C184",
      "FHuille address 0xD7E560",
      "FStabilite address 0xD7C17C",
      "FTraction address 0xD7C174",
      "FFuel address 0xD7C350",
      "FRapportVitesse address 0xD7E740",
      "FAcceleration address 0xD82AB4",
      "FFreinage address 0xD82AE0",
      "FEmbrayage address 0xD82BE8",
      "FNombreJoueur address 0x832BA4",
      "FTemperatureAir address 0x116D514",
      "FTemperaturePiste address 0x116D518",
      "FLongueurCircuit address 0x9EF364",
      "FSlotJoueur address 0x82E3CC",
      "FRecLongueur length 33696",
      "FPhares base 0xA1BC56",
      "FLimiteur base 0xA1BC60",
      "FInPIT base 0xA1EE80",
      "FPitIn base 0xA1EF4E",
      "FNombreTour base 0xA21124",
      "FTemps base 0xA21138 deltas 4 8 188 192 196",
      "FMoyenneFuel active",
      "FSecteur base 0xA21128",
      "FMotorRPM base 0xA1F540",
      "FDistance base 0xA2112C",
      "FVitesse base 0xA21614",
      "FNomPilote base 0xA21A68",
      "FPosition base 0xA2114C",
      "FUsureMoteur address 0xD7E5C8 delta 8",
      "FHumidityRainfall address 0x116D508",
      "FHumidityOnPath address 0x116D50C",
      "FHumidityOffPath address 0x116D510",
      "FPrevisionMeteo address 0x116D504",
      "FSession session 0x913748 0x91374C 0x11640F0 0x11640EC 0x11640E8",
  };
  const AddressTable& h = Table('H');
  ASSERT_EQ(h.entries.size(), std::size(expected));
  for (std::size_t i = 0; i < h.entries.size(); ++i) {
    EXPECT_EQ(Describe(h.entries[i]), expected[i]) << "entry " << i + 1;
    EXPECT_EQ(h.entries[i].WeakestOrigin(), Origin::Given) << expected[i];
  }
}

// The table the other tables' order is measured against.
std::vector<Member> MembersOf(const AddressTable& table) {
  std::vector<Member> members;
  for (const AddressTableEntry& entry : table.entries) {
    members.push_back(entry.member);
  }
  return members;
}

std::vector<Member> HWithout(std::initializer_list<Member> left_out) {
  std::vector<Member> members = MembersOf(Table('H'));
  std::erase_if(members, [&](Member m) { return std::ranges::find(left_out, m) != left_out.end(); });
  return members;
}

TEST(AddressTablesTest, MembersAndOrderOfEveryTable) {
  const std::vector<Member> a = {
      FNomVoiture,
      FInCokpit,
      FPneuAvantGauche_FTempExterieure,
      FPneuAvantGauche_FTempMilieu,
      FPneuAvantGauche_FTempInterieure,
      FPneuAvantGauche_FPression,
      FPneuAvantGauche_FDisqueFrein,
      FPneuAvantDroit_FTempExterieure,
      FPneuAvantDroit_FTempMilieu,
      FPneuAvantDroit_FTempInterieure,
      FPneuAvantDroit_FPression,
      FPneuAvantDroit_FDisqueFrein,
      FPneuArriereGauche_FTempExterieure,
      FPneuArriereGauche_FTempMilieu,
      FPneuArriereGauche_FTempInterieure,
      FPneuArriereGauche_FPression,
      FPneuArriereGauche_FDisqueFrein,
      FPneuArriereDroit_FTempExterieure,
      FPneuArriereDroit_FTempMilieu,
      FPneuArriereDroit_FTempInterieure,
      FPneuArriereDroit_FPression,
      FPneuArriereDroit_FDisqueFrein,
      FPhares,
      FABS,
      FEau,
      FEmbrayageLed,
      FHuille,
      FLimiteur,
      FStabilite,
      FTraction,
  };
  EXPECT_EQ(MembersOf(Table('A')), a);
  EXPECT_EQ(MembersOf(Table('B')), HWithout({FContact,
                                             FPneuAvantGauche_FVitesse,
                                             FPneuAvantGauche_FRayon,
                                             FPneuAvantDroit_FVitesse,
                                             FPneuAvantDroit_FRayon,
                                             FPneuArriereGauche_FVitesse,
                                             FPneuArriereGauche_FRayon,
                                             FPneuArriereDroit_FVitesse,
                                             FPneuArriereDroit_FRayon,
                                             FAcceleration,
                                             FFreinage,
                                             FEmbrayage,
                                             FLongueurCircuit,
                                             FInPIT,
                                             FPitIn,
                                             FMotorRPM,
                                             FDistance,
                                             FVitesse,
                                             FNomPilote,
                                             FPosition,
                                             FUsureMoteur,
                                             FHumidityRainfall,
                                             FHumidityOnPath,
                                             FHumidityOffPath,
                                             FPrevisionMeteo,
                                             FSession}));
  EXPECT_EQ(MembersOf(Table('C')),
            HWithout({FNombreJoueur, FNomPilote, FPosition, FUsureMoteur, FHumidityRainfall, FHumidityOnPath,
                      FHumidityOffPath, FPrevisionMeteo, FSession}));
  for (char name : {'D', 'E', 'F', 'G', 'J'}) {
    EXPECT_EQ(MembersOf(Table(name)), MembersOf(Table('H'))) << "table " << name;
  }
  for (const AddressTable* table : AddressTables()) {
    const AddressTableEntry* entry = table->Find(FNomVoiture);
    EXPECT_EQ(entry != nullptr, table->name == 'A') << "table " << table->name;
  }
  EXPECT_EQ(Table('A').Find(FNomVoiture)->kind, EntryKind::BaseAddress);
  EXPECT_EQ(Table('A').Find(FNomVoiture)->Address(), 0x9FC648u);
}

TEST(AddressTablesTest, EveryTableGivesEachMemberTheKindOfTableH) {
  const AddressTable& h = Table('H');
  for (const AddressTable* table : AddressTables()) {
    for (const AddressTableEntry& entry : table->entries) {
      const AddressTableEntry* in_h = h.Find(entry.member);
      const EntryKind expected = in_h != nullptr ? in_h->kind : EntryKind::BaseAddress;  // FNomVoiture
      EXPECT_EQ(entry.kind, expected) << table->name << " " << MemberName(entry.member);
    }
  }
}

struct TellingRow {
  char table;
  std::uint32_t cockpit;
  std::uint32_t front_left_outer;
  std::uint32_t tyre_block;
  std::optional<std::uint32_t> slot;
  std::optional<std::uint32_t> record_length;
  std::optional<std::uint32_t> lap_count;
  std::optional<std::uint32_t> air;
};

const TellingRow kTellingRows[] = {
    {'A', 0xD569FA, 0xD54E78, 0x510, {}, {}, {}, {}},
    {'B', 0xD6051A, 0xD5E998, 0x510, 0x9FB898, 33632, 0xA04D7C, 0x114E978},
    {'C', 0xD5F278, 0xD5F918, 0x510, 0x9FC818, 33632, 0xA05CFC, 0x114F924},
    {'D', 0xD728B8, 0xD72F58, 0x510, 0x8263CC, 33640, 0xA18F3C, 0x116383C},
    {'E', 0xD74390, 0xD74A30, 0x510, 0x8273CC, 33664, 0xA1A054, 0x11655BC},
    {'F', 0xD74390, 0xD74A30, 0x510, 0x8273CC, 33664, 0xA1A054, 0x11655BC},
    {'G', 0xD756D8, 0xD75D78, 0x510, 0xA11B58, 33672, 0xA1B054, 0x116690C},
    {'H', 0xD7C170, 0xD7C810, 0x510, 0x82E3CC, 33696, 0xA21124, 0x116D514},
    {'J', 0xD19440, 0xD19AE0, 0x5D8, 0x99F4E4, 34264, 0x9AFFCC, 0x110F944},
};

std::optional<std::uint32_t> RecordLengthOf(const AddressTable& table) {
  const AddressTableEntry* entry = table.Find(FRecLongueur);
  if (entry == nullptr) {
    return std::nullopt;
  }
  return entry->record_length;
}

TEST(AddressTablesTest, TellingRowOfEveryTable) {
  for (const TellingRow& row : kTellingRows) {
    SCOPED_TRACE(std::string("table ") + row.table);
    const AddressTable& table = Table(row.table);
    EXPECT_EQ(AddressOf(table, FInCokpit), row.cockpit);
    EXPECT_EQ(AddressOf(table, FPneuAvantGauche_FTempExterieure), row.front_left_outer);
    // The middle tread lies at the same place on both sides, so it measures the block distance in
    // every table, also in those that list no wheel speed.
    EXPECT_EQ(
        *AddressOf(table, FPneuAvantDroit_FTempMilieu) - *AddressOf(table, FPneuAvantGauche_FTempMilieu),
        row.tyre_block);
    EXPECT_EQ(AddressOf(table, FSlotJoueur), row.slot);
    EXPECT_EQ(RecordLengthOf(table), row.record_length);
    EXPECT_EQ(AddressOf(table, FNombreTour), row.lap_count);
    EXPECT_EQ(AddressOf(table, FTemperatureAir), row.air);
  }
}

// ---- layout relations ----------------------------------------------------------------------------------

const Member kTyres[4][8] = {
    {FPneuAvantGauche_FVitesse, FPneuAvantGauche_FRayon, FPneuAvantGauche_FTempExterieure,
     FPneuAvantGauche_FTempMilieu, FPneuAvantGauche_FTempInterieure, FPneuAvantGauche_FPression,
     FPneuAvantGauche_FUsure, FPneuAvantGauche_FDisqueFrein},
    {FPneuAvantDroit_FVitesse, FPneuAvantDroit_FRayon, FPneuAvantDroit_FTempExterieure,
     FPneuAvantDroit_FTempMilieu, FPneuAvantDroit_FTempInterieure, FPneuAvantDroit_FPression,
     FPneuAvantDroit_FUsure, FPneuAvantDroit_FDisqueFrein},
    {FPneuArriereGauche_FVitesse, FPneuArriereGauche_FRayon, FPneuArriereGauche_FTempExterieure,
     FPneuArriereGauche_FTempMilieu, FPneuArriereGauche_FTempInterieure, FPneuArriereGauche_FPression,
     FPneuArriereGauche_FUsure, FPneuArriereGauche_FDisqueFrein},
    {FPneuArriereDroit_FVitesse, FPneuArriereDroit_FRayon, FPneuArriereDroit_FTempExterieure,
     FPneuArriereDroit_FTempMilieu, FPneuArriereDroit_FTempInterieure, FPneuArriereDroit_FPression,
     FPneuArriereDroit_FUsure, FPneuArriereDroit_FDisqueFrein},
};
// From the wheel speed: speed, radius, outer, middle, inner tread, pressure, wear, brake disc.
const std::uint32_t kLeftOffsets[8] = {0, 0x158, 0x300, 0x308, 0x310, 0x328, 0x348, 0x3D0};
const std::uint32_t kRightOffsets[8] = {0, 0x158, 0x310, 0x308, 0x300, 0x328, 0x348, 0x3D0};

TEST(AddressTablesTest, TyreBlocksInEveryTable) {
  for (const TellingRow& row : kTellingRows) {
    SCOPED_TRACE(std::string("table ") + row.table);
    const AddressTable& table = Table(row.table);
    const std::uint32_t front_left_speed = row.front_left_outer - 0x300;
    int checked = 0;
    for (int tyre = 0; tyre < 4; ++tyre) {
      const bool left = tyre % 2 == 0;
      for (int datum = 0; datum < 8; ++datum) {
        const auto address = AddressOf(table, kTyres[tyre][datum]);
        if (!address) {
          continue;
        }
        ++checked;
        EXPECT_EQ(*address,
                  front_left_speed + tyre * row.tyre_block + (left ? kLeftOffsets : kRightOffsets)[datum])
            << MemberName(kTyres[tyre][datum]);
      }
    }
    EXPECT_GE(checked, 20);
  }
}

TEST(AddressTablesTest, DriverAidsInEveryTable) {
  for (const AddressTable* table : AddressTables()) {
    SCOPED_TRACE(std::string("table ") + table->name);
    const std::uint32_t first = *AddressOf(*table, FTraction);
    EXPECT_EQ(AddressOf(*table, FABS), first + 4);
    EXPECT_EQ(AddressOf(*table, FStabilite), first + 8);
    EXPECT_EQ(AddressOf(*table, FEmbrayageLed), first + 0x10);
    if (table->name >= 'C') {
      EXPECT_EQ(first, *AddressOf(*table, FInCokpit) + 4);
    }
  }
}

TEST(AddressTablesTest, WeatherInEveryTable) {
  for (const AddressTable* table : AddressTables()) {
    SCOPED_TRACE(std::string("table ") + table->name);
    const auto air = AddressOf(*table, FTemperatureAir);
    if (table->name == 'A') {
      EXPECT_FALSE(air);
      continue;
    }
    if (table->name == 'B') {
      EXPECT_EQ(AddressOf(*table, FTemperaturePiste), *air - 4);
    } else {
      EXPECT_EQ(AddressOf(*table, FTemperaturePiste), *air + 4);
    }
    if (table->name >= 'D') {
      EXPECT_EQ(AddressOf(*table, FPrevisionMeteo), *air - 16);
      EXPECT_EQ(AddressOf(*table, FHumidityRainfall), *air - 12);
      EXPECT_EQ(AddressOf(*table, FHumidityOnPath), *air - 8);
      EXPECT_EQ(AddressOf(*table, FHumidityOffPath), *air - 4);
    } else {
      EXPECT_FALSE(AddressOf(*table, FPrevisionMeteo));
    }
  }
}

TEST(AddressTablesTest, DriverRecordInEveryTable) {
  const std::pair<Member, std::uint32_t> relations[] = {
      {FSecteur, 4}, {FDistance, 8}, {FTemps, 0x14}, {FPosition, 0x28}};
  for (const AddressTable* table : AddressTables()) {
    SCOPED_TRACE(std::string("table ") + table->name);
    const auto lap_count = AddressOf(*table, FNombreTour);
    for (const auto& [member, offset] : relations) {
      const auto address = AddressOf(*table, member);
      if (address) {
        EXPECT_EQ(*address, *lap_count + offset) << MemberName(member);
      }
    }
  }
}

TEST(AddressTablesTest, SessionInEveryTableThatListsIt) {
  int tables_with_session = 0;
  for (const AddressTable* table : AddressTables()) {
    SCOPED_TRACE(std::string("table ") + table->name);
    const AddressTableEntry* session = table->Find(FSession);
    if (session == nullptr) {
      continue;
    }
    ++tables_with_session;
    const auto& p = session->places;
    const std::uint32_t temps = p[static_cast<int>(SessionPlace::Temps)].address;
    EXPECT_EQ(p[static_cast<int>(SessionPlace::TempsGreenFlag)].address, temps - 4);
    EXPECT_EQ(p[static_cast<int>(SessionPlace::NbTours)].address, temps - 8);
    const std::uint32_t type = p[static_cast<int>(SessionPlace::Type)].address;
    const std::uint32_t timer = p[static_cast<int>(SessionPlace::Timer)].address;
    if (table->name == 'D') {
      EXPECT_NE(timer, type + 4);
    } else {
      EXPECT_EQ(timer, type + 4);
    }
  }
  EXPECT_EQ(tables_with_session, 6);
}

TEST(AddressTablesTest, TablesEAndFDifferOnlyInPlayerCountAndSessionTypeAndTimer) {
  const AddressTable& e = Table('E');
  const AddressTable& f = Table('F');
  ASSERT_EQ(e.entries.size(), f.entries.size());
  std::vector<Member> differing;
  for (std::size_t i = 0; i < e.entries.size(); ++i) {
    if (!(e.entries[i] == f.entries[i])) {
      differing.push_back(e.entries[i].member);
    }
  }
  EXPECT_EQ(differing, (std::vector<Member>{FNombreJoueur, FSession}));
  EXPECT_EQ(AddressOf(e, FNombreJoueur), 0x82BB9Cu);
  EXPECT_EQ(AddressOf(f, FNombreJoueur), 0x82BBA4u);
  const auto& es = e.Find(FSession)->places;
  const auto& fs = f.Find(FSession)->places;
  EXPECT_EQ(es[0].address, 0x90C738u);
  EXPECT_EQ(es[1].address, 0x90C73Cu);
  EXPECT_EQ(fs[0].address, 0x90C740u);
  EXPECT_EQ(fs[1].address, 0x90C744u);
  for (int i = 2; i < 5; ++i) {
    EXPECT_EQ(es[i], fs[i]);
  }
}

// ---- how each address is known -------------------------------------------------------------------------

// An address carried from table H keeps table H's distance from its anchor; one fixed by the layout
// names a given anchor. A user who corrects an anchor therefore knows which addresses move with it.
TEST(AddressTablesTest, OriginsNameAGivenAnchorAndCarryTableHsDistance) {
  const AddressTable& h = Table('H');
  for (const AddressTable* table : AddressTables()) {
    for (const AddressTableEntry& entry : table->entries) {
      for (std::size_t i = 0; i < entry.PlaceCount(); ++i) {
        const Place& place = entry.places[i];
        SCOPED_TRACE(std::string("table ") + table->name + " " + std::string(MemberName(entry.member)) +
                     " place " + std::to_string(i));
        if (place.origin == Origin::Given) {
          EXPECT_EQ(place.anchor, None);
          continue;
        }
        const AddressTableEntry* anchor = table->Find(place.anchor);
        ASSERT_NE(anchor, nullptr);
        EXPECT_EQ(anchor->WeakestOrigin(), Origin::Given);
        if (place.origin == Origin::Extrapolated) {
          const std::uint32_t distance_in_h =
              h.Find(entry.member)->places[i].address - *AddressOf(h, place.anchor);
          EXPECT_EQ(place.address - anchor->Address(), distance_in_h);
        }
      }
    }
  }
}

// Only the addresses known for an executable are marked as given, so every guess can be found.
TEST(AddressTablesTest, GivenAddressesAreTheKnownOnes) {
  const std::vector<std::string> common = {"FInCokpit",       "FPneuAvantGauche.FTempExterieure",
                                           "FTemperatureAir", "FSlotJoueur",
                                           "FRecLongueur",    "FNombreTour",
                                           "FMoyenneFuel"};
  std::map<char, std::vector<std::string>> known;
  known['A'] = {"FNomVoiture", "FInCokpit", "FPneuAvantGauche.FTempExterieure"};
  for (char name : {'B', 'C', 'D', 'G', 'J'}) {
    known[name] = common;
  }
  for (char name : {'E', 'F'}) {
    known[name] = common;
    known[name].push_back("FNombreJoueur");
    known[name].push_back("FSession 0");
    known[name].push_back("FSession 1");
  }
  for (const auto& [name, expected] : known) {
    std::vector<std::string> given;
    for (const AddressTableEntry& entry : Table(name).entries) {
      if (entry.PlaceCount() == 0 && entry.WeakestOrigin() == Origin::Given) {
        given.emplace_back(MemberName(entry.member));
      }
      for (std::size_t i = 0; i < entry.PlaceCount(); ++i) {
        if (entry.places[i].origin == Origin::Given) {
          given.push_back(std::string(MemberName(entry.member)) +
                          (entry.kind == EntryKind::Session ? " " + std::to_string(i) : ""));
        }
      }
    }
    std::vector<std::string> sorted_expected = expected;
    std::ranges::sort(given);
    std::ranges::sort(sorted_expected);
    EXPECT_EQ(given, sorted_expected) << "table " << name;
  }
}

// velmora-sim lays every table out in one process, so no two data of a table may share a byte.
TEST(AddressTablesTest, NoTwoDataOfATableOverlap) {
  for (const AddressTable* table : AddressTables()) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;  // [begin, end)
    for (const AddressTableEntry& entry : table->entries) {
      const std::uint32_t address = entry.Address();
      switch (entry.kind) {
        case EntryKind::Session:
          for (std::size_t i = 0; i < entry.places.size(); ++i) {
            spans.emplace_back(entry.places[i].address,
                               entry.places[i].address + DatumSize(kSessionDatums[i]));
          }
          break;
        case EntryKind::LapTiming:
          spans.emplace_back(address, address + 4);
          for (std::uint32_t delta : kLapTimingDeltas) {
            spans.emplace_back(address + delta, address + delta + 4);
          }
          break;
        case EntryKind::AddressWithReference:
          spans.emplace_back(address, address + 8);
          spans.emplace_back(address + kEngineWearReferenceDelta, address + kEngineWearReferenceDelta + 8);
          break;
        case EntryKind::ActiveOnly:
        case EntryKind::RecordLength:
          break;
        default:
          spans.emplace_back(address, address + DatumSize(MemberDatum(entry.member)));
      }
    }
    std::ranges::sort(spans);
    for (std::size_t i = 1; i < spans.size(); ++i) {
      EXPECT_LE(spans[i - 1].second, spans[i].first)
          << "table " << table->name << " at " << Hex(spans[i].first);
    }
  }
}

}  // namespace
}  // namespace velmora

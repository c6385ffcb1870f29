#include "game/select_address_table.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/game.h"
#include "game/game_member.h"
#include "manual_clock.h"

namespace velmora {
namespace {

class SelectAddressTableTest : public ::testing::Test {
 protected:
  test::ManualClock clock_;
  TGame game_{nullptr, clock_};
};

// Each member as the game holds it, read straight from its fields.
struct Held {
  std::string name;
  std::function<std::uint32_t(TGame&)> address;
  std::function<bool(TGame&)> active;
};

template <typename Value>
Held Plain(const char* name, Value TGame::*member) {
  return {name, [member](TGame& g) { return (g.*member).FAddress; },
          [member](TGame& g) { return (g.*member).FActive; }};
}

template <typename Value>
Held PerDriver(const char* name, Value TGame::*member) {
  return {name, [member](TGame& g) { return (g.*member).FBaseAddress; },
          [member](TGame& g) { return (g.*member).FActive; }};
}

template <typename Value>
Held Tyre(std::string name, TPneu TGame::*tyre, Value TPneu::*member) {
  return {name, [tyre, member](TGame& g) { return ((g.*tyre).*member).FAddress; },
          [tyre, member](TGame& g) { return ((g.*tyre).*member).FActive; }};
}

std::vector<Held> TyreMembers(const char* tyre_name, TPneu TGame::*tyre) {
  const auto name = [&](const char* datum) { return std::string(tyre_name) + "." + datum; };
  return {Tyre(name("FVitesse"), tyre, &TPneu::FVitesse),
          Tyre(name("FRayon"), tyre, &TPneu::FRayon),
          Tyre(name("FTempExterieure"), tyre, &TPneu::FTempExterieure),
          Tyre(name("FTempMilieu"), tyre, &TPneu::FTempMilieu),
          Tyre(name("FTempInterieure"), tyre, &TPneu::FTempInterieure),
          Tyre(name("FPression"), tyre, &TPneu::FPression),
          Tyre(name("FDisqueFrein"), tyre, &TPneu::FDisqueFrein),
          Tyre(name("FUsure"), tyre, &TPneu::FUsure)};
}

TEST_F(SelectAddressTableTest, TableHReachesEveryMemberThroughItsOwnFields) {
  ASSERT_TRUE(SelectAddressTable("Race 07", "1, 2, 1, 9", game_));

  std::vector<Held> held = {
      Plain("FInCokpit", &TGame::FInCokpit),
      Plain("FContact", &TGame::FContact),
      Plain("FABS", &TGame::FABS),
      Plain("FEau", &TGame::FEau),
      Plain("FEmbrayageLed", &TGame::FEmbrayageLed),
      Plain("FHuille", &TGame::FHuille),
      Plain("FStabilite", &TGame::FStabilite),
      Plain("FTraction", &TGame::FTraction),
      Plain("FFuel", &TGame::FFuel),
      Plain("FRapportVitesse", &TGame::FRapportVitesse),
      Plain("FAcceleration", &TGame::FAcceleration),
      Plain("FFreinage", &TGame::FFreinage),
      Plain("FEmbrayage", &TGame::FEmbrayage),
      Plain("FNombreJoueur", &TGame::FNombreJoueur),
      Plain("FTemperatureAir", &TGame::FTemperatureAir),
      Plain("FTemperaturePiste", &TGame::FTemperaturePiste),
      Plain("FLongueurCircuit", &TGame::FLongueurCircuit),
      Plain("FSlotJoueur", &TGame::FSlotJoueur),
      PerDriver("FPhares", &TGame::FPhares),
      PerDriver("FLimiteur", &TGame::FLimiteur),
      PerDriver("FInPIT", &TGame::FInPIT),
      PerDriver("FPitIn", &TGame::FPitIn),
      PerDriver("FNombreTour", &TGame::FNombreTour),
      PerDriver("FSecteur", &TGame::FSecteur),
      PerDriver("FMotorRPM", &TGame::FMotorRPM),
      PerDriver("FDistance", &TGame::FDistance),
      PerDriver("FVitesse", &TGame::FVitesse),
      PerDriver("FNomPilote", &TGame::FNomPilote),
      PerDriver("FPosition", &TGame::FPosition),
      Plain("FHumidityRainfall", &TGame::FHumidityRainfall),
      Plain("FHumidityOnPath", &TGame::FHumidityOnPath),
      Plain("FHumidityOffPath", &TGame::FHumidityOffPath),
      Plain("FPrevisionMeteo", &TGame::FPrevisionMeteo),
  };
  for (auto [tyre_name, tyre] : {std::pair{"FPneuAvantGauche", &TGame::FPneuAvantGauche},
                                 std::pair{"FPneuAvantDroit", &TGame::FPneuAvantDroit},
                                 std::pair{"FPneuArriereGauche", &TGame::FPneuArriereGauche},
                                 std::pair{"FPneuArriereDroit", &TGame::FPneuArriereDroit}}) {
    const auto members = TyreMembers(tyre_name, tyre);
    held.insert(held.end(), members.begin(), members.end());
  }

  const AddressTable& h = *FindAddressTableForVersion("1, 2, 1, 9");
  for (const Held& member : held) {
    SCOPED_TRACE(member.name);
    const AddressTableEntry* entry = nullptr;
    for (const AddressTableEntry& candidate : h.entries) {
      if (MemberName(candidate.member) == member.name) {
        entry = &candidate;
      }
    }
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(member.address(game_), entry->Address());
    EXPECT_TRUE(member.active(game_));
  }
  EXPECT_EQ(held.size(), 65u);  // every single-address entry of the 70

  // Per-driver values get their base address only; the address read follows from the player's slot.
  EXPECT_EQ(game_.FPhares.FAddress, 0u);
  EXPECT_EQ(game_.FUsureMoteur.FAddress, 0xD7E5C8u);
  EXPECT_EQ(game_.FUsureMoteur.FAddressUsureReference, 0xD7E5D0u);
  EXPECT_TRUE(game_.FUsureMoteur.FActive);
  EXPECT_EQ(game_.FTemps.FBaseAddress, 0xA21138u);
  EXPECT_EQ(game_.FTemps.FDeltaAddressDernierTourSecteur1, 4u);
  EXPECT_EQ(game_.FTemps.FDeltaAddressDernierTourSecteur2, 8u);
  EXPECT_EQ(game_.FTemps.FDeltaAddressMeilleurTourFinal, 188u);
  EXPECT_EQ(game_.FTemps.FDeltaAddressMeilleurTourSecteur1, 192u);
  EXPECT_EQ(game_.FTemps.FDeltaAddressMeilleurTourSecteur2, 196u);
  EXPECT_TRUE(game_.FTemps.FActive);
  EXPECT_EQ(game_.FSession.FTypeSession.FAddress, 0x913748u);
  EXPECT_EQ(game_.FSession.FTimerSession.FAddress, 0x91374Cu);
  EXPECT_EQ(game_.FSession.FTempsSesion.FAddress, 0x11640F0u);
  EXPECT_EQ(game_.FSession.FTempsGreenFlag.FAddress, 0x11640ECu);
  EXPECT_EQ(game_.FSession.FNbDeToursSession.FAddress, 0x11640E8u);
  EXPECT_TRUE(game_.FSession.FNbDeToursSession.FActive);
  EXPECT_TRUE(game_.FMoyenneFuel.FActive);
  EXPECT_EQ(game_.FRecLongueur, 33696u);
  // The car name is table A's alone.
  EXPECT_FALSE(game_.FNomVoiture.FActive);
}

TEST_F(SelectAddressTableTest, NoRuleLeavesTheGameAsItWas) {
  EXPECT_FALSE(SelectAddressTable("RACE On", "1, 2, 0, 8", game_));
  EXPECT_FALSE(game_.FInCokpit.FActive);
  EXPECT_EQ(game_.FInCokpit.FAddress, 0u);

  ASSERT_TRUE(SelectAddressTable("RACE On", "1, 2, 1, 9", game_));
  game_.FEau.FValue = 360.0;
  EXPECT_FALSE(SelectAddressTable("Race 07", "1, 2, 1, 9 ", game_));
  EXPECT_EQ(game_.FEau.FAddress, 0xD7E5A0u);
  EXPECT_EQ(game_.FEau.FValue, 360.0);
}

TEST_F(SelectAddressTableTest, TableAAfterTableHKeepsWhatADoesNotList) {
  ASSERT_TRUE(SelectAddressTable("RACE 07", "1, 2, 1, 9", game_));
  ASSERT_TRUE(SelectAddressTable("race 07", "1, 1, 1, 2", game_));

  EXPECT_EQ(game_.FFuel.FAddress, 0xD7C350u);
  EXPECT_TRUE(game_.FFuel.FActive);
  EXPECT_EQ(game_.FSlotJoueur.FAddress, 0x82E3CCu);
  EXPECT_TRUE(game_.FSlotJoueur.FActive);
  EXPECT_EQ(game_.FRecLongueur, 33696u);
  EXPECT_EQ(game_.FNombreTour.FBaseAddress, 0xA21124u);
  EXPECT_EQ(game_.FPneuAvantGauche.FVitesse.FAddress, 0xD7C510u);
  EXPECT_EQ(game_.FSession.FTypeSession.FAddress, 0x913748u);
  // What A lists is A's.
  EXPECT_EQ(game_.FInCokpit.FAddress, 0xD569FAu);
  EXPECT_EQ(game_.FPneuAvantGauche.FTempExterieure.FAddress, 0xD54E78u);
  EXPECT_EQ(game_.FNomVoiture.FBaseAddress, 0x9FC648u);
  EXPECT_TRUE(game_.FNomVoiture.FActive);
}

TEST_F(SelectAddressTableTest, TableAFirstLeavesSlotAndRecordLengthUnset) {
  ASSERT_TRUE(SelectAddressTable("RACE 07", "1, 1, 1, 2", game_));
  EXPECT_FALSE(game_.FSlotJoueur.FActive);
  EXPECT_EQ(game_.FSlotJoueur.FAddress, 0u);
  EXPECT_EQ(game_.FRecLongueur, 0u);
  EXPECT_TRUE(game_.FPhares.FActive);
  EXPECT_EQ(game_.FPhares.FAddress, 0u);
  EXPECT_FALSE(game_.FFuel.FActive);
}

TEST_F(SelectAddressTableTest, ApplyingClearsTheValuesOfListedMembersAlsoAtTheSameAddresses) {
  ASSERT_TRUE(SelectAddressTable("RACE 07", "1, 2, 1, 9", game_));
  game_.FEau.FValue = 360.0;
  game_.FPneuAvantDroit.FTempExterieure.FValue = 350.0;
  game_.FPhares.FValue = 1;
  game_.FTraction.FValue = 2;
  game_.FTemperatureAir.FValue = 290.0F;
  game_.FNomPilote.FValue = "Driver";
  game_.FUsureMoteur.FValue = 0.5;
  game_.FUsureMoteur.FUsureReference = 1.0;
  game_.FTemps.FMeilleurTour = 91.5F;
  game_.FSession.FTypeSession.FValue = 3;
  game_.FSession.FTempsSesion.FValue = 600.0F;
  game_.FMoyenneFuel.FValue = 2.5;

  ASSERT_TRUE(SelectAddressTable("RACE 07", "1, 2, 1, 9", game_));

  EXPECT_EQ(game_.FEau.FValue, 0.0);
  EXPECT_EQ(game_.FPneuAvantDroit.FTempExterieure.FValue, 0.0);
  EXPECT_EQ(game_.FPhares.FValue, 0);
  EXPECT_EQ(game_.FTraction.FValue, 0);
  EXPECT_EQ(game_.FTemperatureAir.FValue, 0.0F);
  EXPECT_EQ(game_.FNomPilote.FValue, "");
  EXPECT_EQ(game_.FUsureMoteur.FValue, 0.0);
  EXPECT_EQ(game_.FTemps.FMeilleurTour, 0.0F);
  EXPECT_EQ(game_.FSession.FTypeSession.FValue, 0);
  EXPECT_EQ(game_.FSession.FTempsSesion.FValue, 0.0F);
  EXPECT_EQ(game_.FMoyenneFuel.FValue, 0.0);
  // The engine's reference belongs to the engine, not to the attach.
  EXPECT_EQ(game_.FUsureMoteur.FUsureReference, 1.0);
}

TEST_F(SelectAddressTableTest, Versions1212And1215GiveIdenticalAssignments) {
  test::ManualClock clock;
  TGame other(nullptr, clock);
  ASSERT_TRUE(SelectAddressTable("RACE On", "1, 2, 1, 2", game_));
  ASSERT_TRUE(SelectAddressTable("RACE On", "1, 2, 1, 5", other));
  for (std::size_t i = 1; i < kMemberCount; ++i) {
    const auto member = static_cast<Member>(i);
    EXPECT_EQ(DescribeAssignment(game_, member), DescribeAssignment(other, member));
  }
  EXPECT_EQ(DescribeAssignment(game_, Member::FInCokpit), "FInCokpit address 0xD756D8");
}

}  // namespace
}  // namespace velmora

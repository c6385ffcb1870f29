// velmora-sim as the dashboard meets it: a separate process, found by its window on the X display, its
// version read from the image it maps, its data read with process_vm_readv at the table addresses.

#include <array>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <signal.h>

#include "child_process.h"
#include "game/address_tables.h"
#include "platform/executable_path.h"
#include "platform/pe_version.h"
#include "platform/process_memory.h"
#include "platform/window_finder.h"
#include "running_sim.h"
#include "x11_test_window.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

using test::RunningSim;

std::uint32_t AddressOf(const AddressTable& table, Member member) {
  const AddressTableEntry* entry = table.Find(member);
  return entry == nullptr ? 0 : entry->Address();
}

std::uint32_t RecordLength(const AddressTable& table) {
  const AddressTableEntry* entry = table.Find(Member::FRecLongueur);
  return entry == nullptr ? 0 : entry->record_length;
}

class SimProcessTest : public test::X11DisplayTest {
 protected:
  void SetUp() override {
    X11DisplayTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) {
      return;
    }
    finder_ = platform::CreateWindowFinder();
    ASSERT_NE(finder_, nullptr);
  }

  // The window changes on the server before the answer comes; a little patience covers the finder's own
  // connection.
  platform::WindowHandle FindSoon(const std::string& class_name, const std::string& title, bool present) {
    platform::WindowHandle found = 0;
    for (int attempt = 0; attempt < 50; ++attempt) {
      found = finder_->FindWindow(class_name, title);
      if ((found != 0) == present) {
        break;
      }
      std::this_thread::sleep_for(20ms);
    }
    return found;
  }

  std::unique_ptr<platform::WindowFinder> finder_;
};

TEST_F(SimProcessTest, IsFoundByItsWindowAndNamesItsProcessAndVersion) {
  RunningSim sim({"--drivers", "8"});
  const platform::WindowHandle window = finder_->FindWindow("CUBERealtime", "Race 07");
  ASSERT_NE(window, 0U);
  EXPECT_EQ(finder_->WindowProcessId(window), sim.Pid());

  const std::filesystem::path image = platform::ExecutablePathOfProcess(sim.Pid());
  EXPECT_EQ(image.extension(), ".exe");
  EXPECT_EQ(platform::ProductVersionOfFile(image), "1, 2, 1, 9");

  EXPECT_EQ(sim.Ask("quit"), "ok");
  EXPECT_EQ(sim.Process().CloseAndWait(), 0);
  EXPECT_FALSE(std::filesystem::exists(image));
  EXPECT_FALSE(std::filesystem::exists(image.parent_path()));
  EXPECT_EQ(FindSoon("CUBERealtime", "Race 07", false), 0U);
}

TEST_F(SimProcessTest, KeepsEachVersionsDataAtItsTableAddresses) {
  struct Case {
    const char* title;
    const char* window_class;
    const char* version;
    char table;
  };
  const Case cases[] = {
      {"Race 07", "CUBERealtime", "1, 2, 1, 9", 'H'},
      {"RACE On", "CUBEApp", "1, 2, 0, 13", 'F'},
      {"Real-Time Racing", "CUBERealtime", "1, 0, 0, 0", 'J'},
      {"STCC - The Game", "CUBEApp", "1, 1, 1, 20", 'C'},
      {"GTR Evolution", "CUBERealtime", "1, 1, 1, 14", 'B'},  // without weather, session, names
      {"Race 07", "CUBERealtime", "1, 1, 1, 2", 'A'},         // without records, slot, fuel
  };
  constexpr int kDrivers = 6;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    const AddressTable* table = FindAddressTable(c.title, c.version);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->name, c.table);
    RunningSim sim({"--title", c.title, "--class", c.window_class, "--version", c.version, "--drivers",
                    std::to_string(kDrivers), "--seed", "3"});
    const platform::WindowHandle window = finder_->FindWindow(c.window_class, c.title);
    ASSERT_NE(window, 0U);
    EXPECT_EQ(finder_->WindowProcessId(window), sim.Pid());
    EXPECT_EQ(platform::ProductVersionOfFile(platform::ExecutablePathOfProcess(sim.Pid())), c.version);

    ASSERT_EQ(sim.Ask("pause"), "ok");
    ASSERT_EQ(sim.Ask("step 40"), "ok");
    EXPECT_EQ(sim.ReadAt<std::uint8_t>(AddressOf(*table, Member::FInCokpit)), 1);
    const auto tread = sim.ReadAt<double>(AddressOf(*table, Member::FPneuAvantGauche_FTempExterieure));
    EXPECT_GT(tread, 270.0);
    EXPECT_LT(tread, 400.0);
    EXPECT_EQ(std::stod(sim.Ask("get FPneuAvantGauche.FTempExterieure")), tread);

    if (const std::uint32_t length = RecordLength(*table); length != 0) {
      const auto slot = sim.ReadAt<std::uint8_t>(AddressOf(*table, Member::FSlotJoueur));
      EXPECT_LT(slot, kDrivers);
      const std::uint32_t record = slot * length;
      if (table->Find(Member::FVitesse) != nullptr) {
        EXPECT_GT(sim.ReadAt<float>(AddressOf(*table, Member::FVitesse) + record), 1.0F)
            << "the player drives";
      }
      EXPECT_EQ(sim.ReadAt<std::int16_t>(AddressOf(*table, Member::FNombreTour) + record), 0);
      const auto base = AddressOf(*table, Member::FTemps);
      for (std::uint32_t other = 0; other < kDrivers; ++other) {
        EXPECT_EQ(sim.ReadAt<float>(base + 188 + other * length), -1.0F) << "no best lap yet, slot " << other;
      }
      if (table->Find(Member::FNomPilote) != nullptr) {
        EXPECT_FALSE(sim.TextAt(AddressOf(*table, Member::FNomPilote) + 5 * length).empty());
        EXPECT_GE(sim.ReadAt<std::int16_t>(AddressOf(*table, Member::FPosition) + 5 * length), 1);
        EXPECT_EQ(sim.ReadAt<std::int16_t>(AddressOf(*table, Member::FNombreJoueur)), kDrivers);
      }
    } else {
      // One record, the player's: the car name lies at the base address itself.
      EXPECT_FALSE(sim.TextAt(AddressOf(*table, Member::FNomVoiture)).empty());
      EXPECT_EQ(sim.Ask("get FFuel"), "error: FFuel is not in the layout of table A");
    }
    if (const AddressTableEntry* session = table->Find(Member::FSession)) {
      EXPECT_EQ(sim.ReadAt<std::int32_t>(session->places[0].address), 6);
      // The clock runs in real time from start until the pause; on a loaded machine that is a few
      // hundredths of a second.
      EXPECT_NEAR(sim.ReadAt<float>(session->places[1].address), 40.0F, 0.5F);
    } else {
      EXPECT_EQ(sim.Ask("get FSession.TimerSession"),
                std::string("error: FSession.TimerSession is not in the layout of table ") + c.table);
    }
    EXPECT_EQ(sim.Ask("quit"), "ok");
    EXPECT_EQ(sim.Process().CloseAndWait(), 0);
  }
}

TEST_F(SimProcessTest, SetValuesAreReadBackAcrossTheProcessBoundary) {
  RunningSim sim({"--drivers", "6"});
  const AddressTable& h = *FindAddressTable("Race 07", "1, 2, 1, 9");
  const std::uint32_t length = RecordLength(h);
  ASSERT_EQ(sim.Ask("pause"), "ok");
  const char* const lines[] = {
      "set FEau 373.15",
      "set FABS 2",
      "set FInCokpit 0",
      "set FAcceleration 0.5",
      "set FSession.TypeSession 3",
      "set FUsureMoteur.Reference 100",
      "set FNomPilote@2 Ann Example",
      "set FTemps.MeilleurTour@4 91.25",
  };
  for (const char* line : lines) {
    EXPECT_EQ(sim.Ask(line), "ok") << line;
  }
  EXPECT_EQ(sim.ReadAt<double>(AddressOf(h, Member::FEau)), 373.15);
  EXPECT_EQ(sim.ReadAt<std::int16_t>(AddressOf(h, Member::FABS)), 2);
  EXPECT_EQ(sim.ReadAt<std::uint8_t>(AddressOf(h, Member::FInCokpit)), 0);
  EXPECT_EQ(sim.ReadAt<float>(AddressOf(h, Member::FAcceleration)), 0.5F);
  EXPECT_EQ(sim.ReadAt<std::int32_t>(h.Find(Member::FSession)->places[0].address), 3);
  EXPECT_EQ(sim.ReadAt<double>(AddressOf(h, Member::FUsureMoteur) + kEngineWearReferenceDelta), 100.0);
  EXPECT_EQ(sim.TextAt(AddressOf(h, Member::FNomPilote) + 2 * length), "Ann Example");
  EXPECT_EQ(sim.ReadAt<float>(AddressOf(h, Member::FTemps) + 188 + 4 * length), 91.25F);

  EXPECT_EQ(sim.Ask("get FEau"), "373.15");
  EXPECT_EQ(sim.Ask("get FNomPilote@2"), "Ann Example");
  EXPECT_EQ(sim.Ask("get FTemps.MeilleurTour@4"), "91.25");
  // Paused, the values stay as set however long the process runs.
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(sim.Ask("get FInCokpit"), "0");
  EXPECT_EQ(sim.Ask("set FABS 70000"), "error: 70000 is out of range for SmallInt (-32768 to 32767)");
  EXPECT_EQ(sim.ReadAt<std::int16_t>(AddressOf(h, Member::FABS)), 2);
}

TEST_F(SimProcessTest, CloseTakesTheWindowAwayWhileTheProcessRunsOn) {
  RunningSim sim({"--title", "GTR Evolution", "--class", "CUBEApp", "--drivers", "4"});
  ASSERT_NE(finder_->FindWindow("CUBEApp", "GTR Evolution"), 0U);
  EXPECT_EQ(sim.Ask("close"), "ok");
  EXPECT_EQ(FindSoon("CUBEApp", "GTR Evolution", false), 0U);
  EXPECT_EQ(kill(static_cast<pid_t>(sim.Pid()), 0), 0);
  EXPECT_EQ(sim.Ask("set FEau 350"), "ok");
  EXPECT_EQ(sim.ReadAt<double>(AddressOf(*FindAddressTable("GTR Evolution", "1, 2, 1, 9"), Member::FEau)),
            350.0);

  EXPECT_EQ(sim.Ask("open"), "ok");
  const platform::WindowHandle again = FindSoon("CUBEApp", "GTR Evolution", true);
  ASSERT_NE(again, 0U);
  EXPECT_EQ(finder_->WindowProcessId(again), sim.Pid());
}

TEST_F(SimProcessTest, TheSessionRunsOnTheWallClockAtItsTimeScale) {
  RunningSim sim({"--time-scale", "50", "--drivers", "4"});
  const std::uint32_t timer =
      FindAddressTable("Race 07", "1, 2, 1, 9")->Find(Member::FSession)->places[1].address;
  const float first = sim.ReadAt<float>(timer);
  std::this_thread::sleep_for(300ms);
  const float later = sim.ReadAt<float>(timer);
  EXPECT_GT(later - first, 5.0F);  // 15 session seconds at 50 times the wall clock, less scheduling
  EXPECT_EQ(sim.Ask("pause"), "ok");
  const float paused = sim.ReadAt<float>(timer);
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(sim.ReadAt<float>(timer), paused);
}

TEST_F(SimProcessTest, AnExecutableNoRuleAcceptsUsesTheNamedLayout) {
  struct Case {
    std::vector<std::string> layout;
    const char* layout_version;
  };
  const Case cases[] = {{{}, "1, 2, 1, 9"}, {{"--layout", "1, 1, 1, 20"}, "1, 1, 1, 20"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layout_version);
    ASSERT_EQ(FindAddressTable("RACE On", "1, 2, 0, 8"), nullptr);
    std::vector<std::string> arguments{"--title", "RACE On", "--version", "1, 2, 0, 8", "--drivers", "4"};
    arguments.insert(arguments.end(), c.layout.begin(), c.layout.end());
    RunningSim sim(arguments);
    EXPECT_NE(finder_->FindWindow("CUBERealtime", "RACE On"), 0U);
    EXPECT_EQ(platform::ProductVersionOfFile(platform::ExecutablePathOfProcess(sim.Pid())), "1, 2, 0, 8");
    EXPECT_EQ(sim.Ask("set FContact 1"), "ok");
    const AddressTable& layout = *FindAddressTableForVersion(c.layout_version);
    EXPECT_EQ(sim.ReadAt<std::uint8_t>(AddressOf(layout, Member::FContact)), 1);
    EXPECT_EQ(sim.Ask("quit"), "ok");
    EXPECT_EQ(sim.Process().CloseAndWait(), 0);
  }
}

TEST_F(SimProcessTest, TwoVersionsRunSideBySideEachInItsOwnAddressSpace) {
  // Each process has its own address space, so two stand-ins never contend for the range; within one
  // process a second mapping over a taken range is refused (SimMemoryTest).
  RunningSim h({"--title", "Race 07", "--version", "1, 2, 1, 9", "--drivers", "4"});
  RunningSim g({"--title", "STCC - The Game", "--version", "1, 2, 1, 2", "--drivers", "4"});
  ASSERT_EQ(h.Ask("set FEau 351"), "ok");
  ASSERT_EQ(g.Ask("set FEau 352"), "ok");
  const AddressTable& table_h = *FindAddressTable("Race 07", "1, 2, 1, 9");
  const AddressTable& table_g = *FindAddressTable("STCC - The Game", "1, 2, 1, 2");
  ASSERT_NE(AddressOf(table_h, Member::FEau), AddressOf(table_g, Member::FEau));
  EXPECT_EQ(h.ReadAt<double>(AddressOf(table_h, Member::FEau)), 351.0);
  EXPECT_EQ(g.ReadAt<double>(AddressOf(table_g, Member::FEau)), 352.0);
  EXPECT_EQ(finder_->WindowProcessId(finder_->FindWindow("CUBERealtime", "Race 07")), h.Pid());
  EXPECT_EQ(finder_->WindowProcessId(finder_->FindWindow("CUBERealtime", "STCC - The Game")), g.Pid());
}

TEST_F(SimProcessTest, EndsCleanlyOnSignalsAndAtTheEndOfItsInput) {
  for (const bool by_signal : {true, false}) {
    SCOPED_TRACE(by_signal ? "SIGTERM" : "end of input");
    RunningSim sim({"--drivers", "2"});
    const std::filesystem::path image = platform::ExecutablePathOfProcess(sim.Pid());
    ASSERT_TRUE(std::filesystem::exists(image));
    if (by_signal) {
      ASSERT_EQ(kill(static_cast<pid_t>(sim.Pid()), SIGTERM), 0);
    }
    EXPECT_EQ(sim.Process().CloseAndWait(), 0);
    EXPECT_FALSE(std::filesystem::exists(image.parent_path()));
  }
}

TEST_F(SimProcessTest, RefusesBadArgumentsWithStatusTwo) {
  const std::vector<std::string> cases[] = {
      {"--layout", "1, 2, 1, 10"}, {"--drivers", "0"}, {"--time-scale", "-1"}, {"--window", "x"}, {"--seed"}};
  for (const auto& arguments : cases) {
    SCOPED_TRACE(arguments.front());
    std::vector<std::string> argv{VELMORA_SIM_PATH};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    test::ChildProcess process(argv);
    EXPECT_EQ(process.ReadLine(2000), "");
    EXPECT_EQ(process.CloseAndWait(), 2);
  }
}

}  // namespace
}  // namespace velmora

// velmora-cli probe: find and attach a simulator as the dashboard does, read it once, print it as JSON.
#include <chrono>
#include <cstdlib>
#include <ostream>
#include <string>
#include <thread>
#include <type_traits>
#include <variant>

#include "game/game.h"
#include "game/game_link.h"
#include "game/game_member.h"
#include "json_writer.h"
#include "not_attached.h"
#include "platform/tick_clock.h"
#include "platform/window_finder.h"
#include "race/display_players.h"
#include "subcommand.h"

namespace velmora::cli {
namespace {

constexpr int kExitNotFound = 3;
constexpr auto kAttemptPause = std::chrono::milliseconds(250);

// The texts of a driver record are not part of the read cycle; the probe reads the player's own.
void ReadPlayerTexts(TGame& game) {
  const std::uint32_t slot = game.FSlotJoueur.FValue;
  if (game.FNomPilote.FActive) {
    game.FNomPilote.FValue = game.ReadStringValue(game.FNomPilote.RecordAddress(slot, game.FRecLongueur));
  }
  if (game.FNomVoiture.FActive) {
    game.FNomVoiture.FValue = game.ReadStringValue(game.FNomVoiture.RecordAddress(slot, game.FRecLongueur));
  }
  if (game.FPosition.FActive) {
    game.FPosition.FValue = game.ReadSmallIntValue(game.FPosition.RecordAddress(slot, game.FRecLongueur));
  }
  game.FNombreJoueur.ReadAndDisplay(game);
}

void WriteValue(JsonObjectWriter& values, const std::string& name, TGame& game, Member member) {
  std::visit(
      [&](auto object) {
        using Object = std::remove_pointer_t<decltype(object)>;
        if constexpr (std::is_same_v<decltype(object), std::monostate>) {
          return;
        } else if constexpr (std::is_same_v<Object, std::uint32_t>) {
          if (*object != 0) {
            values.Number(name, static_cast<std::int64_t>(*object));
          }
        } else if constexpr (std::is_same_v<Object, TTemps>) {
          if (object->FActive) {
            values.Number(name + ".DernierTour", object->FDernierTour);
            values.Number(name + ".DernierTourSecteur1", object->FDernierTourSecteur1);
            values.Number(name + ".DernierTourSecteur2", object->FDernierTourSecteur2);
            values.Number(name + ".MeilleurTour", object->FMeilleurTour);
            values.Number(name + ".MeilleurTourSecteur1", object->FMeilleurTourSecteur1);
            values.Number(name + ".MeilleurTourSecteur2", object->FMeilleurTourSecteur2);
          }
        } else if constexpr (std::is_same_v<Object, TSessionGTR>) {
          if (object->FTypeSession.FActive) {
            values.Number(name + ".TypeSession", static_cast<std::int64_t>(object->FTypeSession.FValue));
            values.Number(name + ".TimerSession", object->FTimerSession.FValue);
            values.Number(name + ".TempsSession", object->FTempsSesion.FValue);
            values.Number(name + ".TempsSessionGreenFlag", object->FTempsGreenFlag.FValue);
            values.Number(name + ".NbToursSession",
                          static_cast<std::int64_t>(object->FNbDeToursSession.FValue));
          }
        } else {
          if (!object->FActive) {
            return;
          }
          using Value = decltype(object->FValue);
          if constexpr (std::is_same_v<Value, std::string>) {
            values.String(name, object->FValue);
          } else if constexpr (std::is_integral_v<Value>) {
            values.Number(name, static_cast<std::int64_t>(object->FValue));
          } else {
            values.Number(name, static_cast<double>(object->FValue));
          }
          if constexpr (std::is_same_v<Object, TUsureMoteurValue>) {
            values.Number(name + ".Reference", object->FUsureReference);
          }
        }
      },
      MemberOf(game, member));
}

// The field in position order, found as the dashboard's driver list finds it.
void WriteStandings(JsonObjectWriter& probe, TGame& game) {
  std::vector<Standing> standings;
  game.WithDriverRecords([&] { standings = ReadStandings(game); });
  JsonArrayWriter list = probe.Array("standings");
  for (const Standing& standing : standings) {
    JsonObjectWriter car = list.Object();
    car.Number("position", static_cast<std::int64_t>(standing.Position));
    car.Number("slot", static_cast<std::int64_t>(standing.Slot));
    car.String("name", standing.Name);
    car.String("car", standing.Car);
    car.Bool("in_pits", standing.InPits);
    // 0 and -1 stand for no lap yet.
    if (standing.BestLap > 0.0F) {
      car.Number("best_lap", static_cast<double>(standing.BestLap));
    } else {
      car.Null("best_lap");
    }
    car.Close();
  }
  list.Close();
}

template <typename Value>
void WriteWeatherValue(JsonObjectWriter& weather, std::string_view key, TGame& game, const Value& value) {
  if (value.FActive) {
    weather.Number(key, static_cast<double>(value.Read(game)));
  } else {
    weather.Null(key);
  }
}

// The weather as read now, without the gauges' pace.
void WriteWeather(JsonObjectWriter& probe, TGame& game) {
  JsonObjectWriter weather = probe.Object("weather");
  WriteWeatherValue(weather, "air_c", game, game.FTemperatureAir);
  WriteWeatherValue(weather, "track_c", game, game.FTemperaturePiste);
  WriteWeatherValue(weather, "rainfall", game, game.FHumidityRainfall);
  WriteWeatherValue(weather, "wet_on_path", game, game.FHumidityOnPath);
  WriteWeatherValue(weather, "wet_off_path", game, game.FHumidityOffPath);
  WriteWeatherValue(weather, "forecast", game, game.FPrevisionMeteo);
  weather.Close();
}

int RunProbe(std::span<const std::string> arguments, std::ostream& out, std::ostream& err) {
  double timeout_seconds = 10.0;
  if (arguments.size() == 2 && arguments[0] == "--timeout") {
    char* end = nullptr;
    timeout_seconds = std::strtod(arguments[1].c_str(), &end);
    if (end == arguments[1].c_str() || *end != '\0' || !(timeout_seconds >= 0.0) ||
        timeout_seconds > 86400.0) {
      err << "velmora-cli probe: --timeout takes a number of seconds from 0 to 86400\n";
      return kExitUsage;
    }
  } else if (!arguments.empty()) {
    err << "velmora-cli probe: usage: velmora-cli probe [--timeout SECONDS]\n";
    return kExitUsage;
  }

  auto finder = platform::CreateWindowFinder();
  if (finder == nullptr) {
    err << "velmora-cli probe: cannot reach the X display to look for a simulator window\n"
        << "no simulator found\n";
    return kExitNotFound;
  }
  platform::SystemTickClock clock;
  TGame game(nullptr, clock);
  QueuedHandOver hand_over;
  FlagDetectionTimer timer(true);
  TGameLink link(game, *finder, hand_over, timer);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_seconds);
  for (;;) {
    link.TimerProgramTimer();
    if (!timer.Enabled()) {
      break;
    }
    if (std::chrono::steady_clock::now() + kAttemptPause > deadline) {
      ReportNotAttached(link, err);
      return kExitNotFound;
    }
    std::this_thread::sleep_for(kAttemptPause);
  }
  // One snapshot is read here, on this thread; the scan thread the attach started has nothing to add.
  link.StopScanThread();
  if (game.FInCokpit.FActive) {
    game.FInCokpit.FValue = game.FInCokpit.Read(game);
  }
  game.FInCokpit.RunEntrySteps();
  game.ReadAndDisplay();
  ReadPlayerTexts(game);

  JsonObjectWriter probe(out, 0);
  probe.String("title", link.ProgramNameWindows());
  probe.String("class", link.ProgrammeWindowsType());
  probe.Number("pid", static_cast<std::int64_t>(link.ProgramProcessId));
  probe.String("exe", link.ProgramExeName);
  probe.String("executable", link.ProgramExeName);
  probe.String("runtime", platform::RuntimeName(link.ProgramRuntime));
  probe.String("version", link.ProgramVersion);
  probe.Bool("supported", link.ProgramSupported);
  JsonObjectWriter values = probe.Object("values");
  for (std::size_t i = 0; i < kMemberCount; ++i) {
    const auto member = static_cast<Member>(i);
    const std::string_view name = MemberName(member);
    if (!name.empty()) {
      WriteValue(values, std::string(name), game, member);
    }
  }
  values.Close();
  WriteStandings(probe, game);
  WriteWeather(probe, game);
  probe.Close();
  out << "\n";
  return out ? 0 : 1;
}

}  // namespace

const Subcommand kProbeCommand{
    "probe", "[--timeout SECONDS]",
    "Finds and attaches a running simulator exactly as the dashboard does (its window by title and\n"
    "class, its process, its executable's product version and the matching address table), reads\n"
    "it once as the dashboard does when the driver gets into the car, and prints one JSON object:\n"
    "\"title\", \"class\", \"pid\", \"exe\", \"version\", \"supported\", \"runtime\" (\"native\", or "
    "\"wine\"\n"
    "for a Windows simulator run through Wine or Proton, found by its title and a window class that\n"
    "names its executable), \"executable\" (the simulator's executable as this system sees it, the\n"
    "same as \"exe\"), and \"values\" with every member\n"
    "the address table made active, in the simulator's own units (kelvin, kPa, m/s, litres...);\n"
    "\"standings\", an array in position order of {\"position\", \"slot\", \"name\", \"car\",\n"
    "\"in_pits\", \"best_lap\"} (seconds, null for no lap yet); and \"weather\" with \"air_c\" and\n"
    "\"track_c\" (degrees Celsius), \"rainfall\", \"wet_on_path\", \"wet_off_path\" (0 dry to 1 wet)\n"
    "and \"forecast\" (0 clear to 1 rain), null where the table gives no address.\n"
    "It keeps looking for up to SECONDS (default 10); when no simulator shows up it says\n"
    "\"no simulator found\" on standard error and exits with status 3. When a simulator window\n"
    "shows up but its process may not be read (another user's process, or kernel.yama.ptrace_scope),\n"
    "it says \"cannot read the memory of process PID: REASON\", with a hint where one helps, and\n"
    "also exits with status 3.",
    RunProbe};

}  // namespace velmora::cli

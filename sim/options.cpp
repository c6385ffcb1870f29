#include "options.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "session_model.h"
#include "track.h"

namespace velmora::sim {

namespace {

constexpr double kMaxTimeScale = 1000.0;

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

std::string SupportedVersions() {
  std::string list;
  for (const AddressTableRule& rule : AddressTableRules()) {
    list += list.empty() ? "" : ", ";
    list += "\"" + std::string(rule.version) + "\"";
  }
  return list;
}

template <typename T>
bool ReadNumber(const std::string& text, T& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::string Whole(double value) {
  return std::to_string(static_cast<long long>(value));
}

std::string SessionText() {
  return "a race of " + std::to_string(SessionModel::kRaceLaps) + " laps on a " + Whole(Track::kLength_m) +
         " m track with three equal sectors. The player sits in the\n"
         "garage (FInCokpit 0) until " +
         Whole(SessionModel::kGetIn_s) +
         " session seconds, when the green flag falls and the field leaves the grid;\n"
         "ignition at " +
         Whole(SessionModel::kIgnition_s) + ", engine at " + Whole(SessionModel::kEngineStart_s) +
         ", out of the pit box at " + Whole(SessionModel::kLeaveBox_s) +
         " along the pit lane (FInPIT and FLimiteur 1);\n"
         "a pit stop with refuelling and new tyres when the fuel runs low (FPitIn 1 on the lap before). The\n"
         "player's slot is the seed modulo the number of drivers (0 in a layout without records). Showers "
         "come\n"
         "and go within the first half hour.";
}

}  // namespace

std::variant<SimOptions, HelpRequested, std::string> ParseOptions(const std::vector<std::string>& arguments) {
  SimOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string name = arguments[i];
    if (name == "--help" || name == "-h") {
      return HelpRequested{};
    }
    std::optional<std::string> value;
    if (const auto equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    static const char* const kWithValue[] = {"--title",   "--class", "--version",   "--layout",
                                             "--drivers", "--seed",  "--time-scale"};
    if (std::find(std::begin(kWithValue), std::end(kWithValue), name) == std::end(kWithValue)) {
      return "unknown argument " + Quoted(arguments[i]) + " (see --help)";
    }
    if (!value) {
      if (i + 1 >= arguments.size()) {
        return name + " needs a value";
      }
      value = arguments[++i];
    }
    if (name == "--title") {
      options.title = *value;
    } else if (name == "--class") {
      options.window_class = *value;
    } else if (name == "--version") {
      options.version = *value;
    } else if (name == "--layout") {
      options.layout = *value;
    } else if (name == "--drivers") {
      if (!ReadNumber(*value, options.drivers) || options.drivers < 1 ||
          options.drivers > SessionModel::kMaxDrivers) {
        return "--drivers needs a whole number from 1 to " + std::to_string(SessionModel::kMaxDrivers) +
               ", not " + Quoted(*value);
      }
    } else if (name == "--seed") {
      if (!ReadNumber(*value, options.seed)) {
        return "--seed needs a whole number from 0 to 18446744073709551615, not " + Quoted(*value);
      }
    } else if (name == "--time-scale") {
      if (!ReadNumber(*value, options.time_scale) || !std::isfinite(options.time_scale) ||
          options.time_scale <= 0.0 || options.time_scale > kMaxTimeScale) {
        return "--time-scale needs a number above 0 and up to 1000, not " + Quoted(*value);
      }
    }
  }
  const AddressTable* layout = FindAddressTableForVersion(options.layout);
  if (layout == nullptr) {
    return "unknown layout " + Quoted(options.layout) + "; the supported versions are " + SupportedVersions();
  }
  options.table = FindAddressTable(options.title, options.version);
  if (options.table == nullptr) {
    options.table = layout;
    options.table_from_layout = true;
  }
  return options;
}

std::string HelpText() {
  return R"(Usage: velmora-sim [options]

A stand-in for a racing simulator: a real top-level window, an executable image with a product version,
and the simulator's data at the fixed memory addresses of one executable version, driven by a race
session that plays out the same way for the same seed.

Options:
  --title T        window title (default "Race 07")
  --class C        window class (default "CUBERealtime"; the simulators use "CUBERealtime" or "CUBEApp",
                   any other text makes a window the dashboard must not find)
  --version V      product version text of the executable image (default "1, 2, 1, 9"); any text
  --layout L       the supported version whose memory layout to use when no rule accepts the title and
                   the version (default "1, 2, 1, 9"); otherwise the accepted pair decides
  --drivers N      number of drivers, 1 to 50 (default 20); a layout without a record length holds
                   the player's record only
  --seed S         seed of the session, 0 to 2^64-1 (default 1)
  --time-scale X   session seconds per wall-clock second, above 0 up to 1000 (default 1)
  -h, --help       this text

Supported versions:
  )" + SupportedVersions() +
         R"(

Once the window and the memory are ready the first line on standard output is "ready pid=<pid>".

Commands, one per line on standard input; each answers one line on standard output, "ok", a value, or
"error: <reason>":
  set <member> <value>   write a datum: FEau, FPneuAvantGauche.FTempExterieure, FUsureMoteur.Reference,
                         FSession.TypeSession, FTemps.MeilleurTour, ... Per-driver members take the
                         player's record, or another's as <member>@<slot> (FNomPilote@3). Numbers in
                         the datum's own type and range (nan and inf for floating point); text takes the
                         rest of the line (UTF-8, characters up to U+00FF, at most 31).
  get <member>           answer the value as a reader of the memory sees it
  pause                  freeze the session, so that set values stay as set
  resume                 let it run on
  step <seconds>         move a paused session on (0 to 86400)
  sector <1|2> <s>       the player's car ends sector 1 or 2 now, <s> seconds after it crossed the line
                         (its intermediate time); it is out of the pit lane
  line <s>               the player's car crosses the line now with a lap of <s> seconds: last lap, best
                         lap with its intermediates when faster, lap count + 1, sector 0
  session <type> <length> <laps>
                         a new session starts: type code (1 Practice 1, 2 Practice 2, 3 Qualifying,
                         5 Warmup, 6 Race 1, 7 Race 2, 8 Event Result), length in seconds, laps of a race
                         (-1 for a race on time); its clock at 0, every car without laps or times
  close                  destroy the window and keep running
  open                   show the window again
  quit                   exit (so does the end of standard input, SIGTERM and SIGINT)

Members by table: the lap timing FTemps gives FTemps.DernierTour, .DernierTourSecteur1,
.DernierTourSecteur2, .MeilleurTour, .MeilleurTourSecteur1, .MeilleurTourSecteur2; the session FSession
gives FSession.TypeSession, .TimerSession, .TempsSession, .TempsSessionGreenFlag, .NbToursSession; the
engine wear FUsureMoteur and FUsureMoteur.Reference. A member the layout does not list is not there.

The session: )" +
         SessionText() + R"(

Pause the session before sector, line or session to keep the moment exactly as commanded; a running
session carries on from it. Fuel and speeds are set with set FFuel and set FVitesse.

Units: temperatures of tyres, brakes, water and oil in kelvin, pressure in kPa, tread left as a fraction
(1 new), engine life in the unit of its reference, wheel rotation in rad/s, radius in m, fuel in litres,
pedals 0 to 1, gear -1 reverse 0 neutral, speeds in m/s, air and track in degrees Celsius, wetness, rain
and forecast 0 to 1, session times in seconds.

Exit status: 0 after quit, 2 for a bad argument, 1 when the window, the memory or the executable image
cannot be had.
)";
}

}  // namespace velmora::sim

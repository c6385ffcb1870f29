#include "web/view_state.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "race/session.h"
#include "values/display_targets.h"
#include "web/state_message.h"
#include "web/chart_history.h"

namespace velmora::web {
namespace {

// Beyond these no car goes, so a server that sends more is broken or hostile: the page shows nothing.
constexpr double kMaxSpeedKmh = 2000.0;
constexpr double kMaxFuel = 1000.0;  // litres in the tank, and used in a lap
constexpr double kMaxLapsLeft = 10000.0;
constexpr double kMaxSeconds = 86400.0;  // a lap or sector time

// Catches what a value object shows, so that the relay words a value exactly as the dashboard does.
class CapturedPanel final : public PanelTarget {
 public:
  void SetText(std::string_view text) override { text_ = text; }
  void SetColor(Rgb color) override { color_ = color; }
  const std::string& Text() const { return text_; }
  Rgb Color() const { return color_; }

 private:
  std::string text_;
  Rgb color_;
};

class CapturedPosition final : public PositionTarget {
 public:
  int Position() const override { return position_; }
  void SetPosition(int position) override { position_ = position; }

 private:
  int position_ = -1;
};

std::string ColorText(Rgb color) {
  char text[8];
  std::snprintf(text, sizeof text, "%02x%02x%02x", color.red, color.green, color.blue);
  return text;
}

// A number with a fixed count of decimals; JSON's null for what is not a number or lies beyond `limit`
// either way, which no car shows and only a broken or hostile server sends.
std::string Fixed(double value, int decimals, double limit) {
  if (!std::isfinite(value) || std::fabs(value) > limit) {
    return "null";
  }
  if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) {
    value = 0.0;  // a tiny negative would otherwise show as "-0.0"
  }
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc{}) {
    return "null";
  }
  return std::string(text, result.ptr);
}

std::string Whole(long long value) {
  return std::to_string(value);
}

// A panel that shows a temperature or a pressure, as two keys: "metric|imperial" text under `key` and its
// colour under `key` + "c". The colour changes far less often than the text, so it travels on its own.
template <typename Value>
void SetUnitPanel(ViewState& state, const std::string& key, Value& value, double stored) {
  CapturedPanel panel;
  value.FPanel = &panel;
  value.FValue = stored;
  value.Display(true);
  const std::string metric = panel.Text();
  value.Display(false);
  value.FPanel = nullptr;
  state[key] = JsonString(metric + "|" + panel.Text());
  state[key + "c"] = JsonString(ColorText(panel.Color()));
}

int Percent(float fraction) {
  if (!std::isfinite(fraction)) {
    return 0;
  }
  const double percent = std::round(static_cast<double>(fraction) * 100.0);
  return static_cast<int>(std::clamp(percent, 0.0, 100.0));
}

// A lap or sector time in seconds; null when the simulator has none yet (it keeps 0 or a negative value).
std::string Seconds(double seconds) {
  return seconds > 0.0 ? Fixed(seconds, 3, kMaxSeconds) : "null";
}

// The session label's clock: time left in a timed session, the laps of a race (time left in a race on
// time while the driver is in the car).
std::string SessionClockText(const TGameData& record) {
  const float left = record.TempsSession - record.TimerSession;
  const auto clock = [left]() -> std::string {
    if (!std::isfinite(left) || std::fabs(left) > 9.0e15F) {
      return "N/A";
    }
    if (left < 0.0F) {
      return "00:00";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d", TSessionGTR::CalculMinute(left),
                  TSessionGTR::CalculSeconde(left));
    return text;
  };
  switch (record.TypeSession) {
    case 1:
    case 2:
    case 3:
    case 5:
    case 8:
      return clock();
    case 6:
    case 7:
      if (record.NbDeToursSession >= 0) {
        return std::to_string(record.NbDeToursSession) + " laps";
      }
      return record.InCockpit == 1 ? clock() : "N/A";
    default:
      return "N/A";
  }
}

bool PlausibleLap(int lap) {
  return lap >= 0 && lap <= ViewBuilder::kMaxLapNumber;
}

std::string_view StatusText(FeedStatus status) {
  switch (status) {
    case FeedStatus::kOk:
      return "\"ok\"";
    case FeedStatus::kNoData:
      return "\"nodata\"";
    case FeedStatus::kRecorded:
      return "\"recorded\"";
    case FeedStatus::kLost:
      break;
  }
  return "\"lost\"";
}

}  // namespace

ViewBuilder::ViewBuilder(double chart_period_s) : charts_(std::make_unique<ChartHistory>(chart_period_s)) {
  state_["st"] = StatusText(FeedStatus::kLost);
}

ViewBuilder::~ViewBuilder() = default;

const ViewState& ViewBuilder::SetStatus(FeedStatus status) {
  state_["st"] = StatusText(status);
  return state_;
}

const ViewState& ViewBuilder::Apply(const TGameData& record) {
  return ApplyAt(record, std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count());
}

const ViewState& ViewBuilder::ApplyAt(const TGameData& record, double time_s) {
  state_["st"] = StatusText(FeedStatus::kOk);
  charts_->Add(time_s, record, state_);
  struct WheelData {
    const char* key;
    double outer, middle, inner, pressure, brake, wear;
  };
  const WheelData wheels[4] = {
      {"fl", record.PneuAvantGaucheTempExterieure, record.PneuAvantGaucheTempMilieu,
       record.PneuAvantGaucheTempInterieure, record.PneuAvantGauchePression,
       record.PneuAvantGaucheDisqueFrein, record.PneuAvantGaucheUsure},
      {"fr", record.PneuAvantDroitTempExterieure, record.PneuAvantDroitTempMilieu,
       record.PneuAvantDroitTempInterieure, record.PneuAvantDroitPression, record.PneuAvantDroitDisqueFrein,
       record.PneuAvantDroitUsure},
      {"rl", record.PneuArriereGaucheTempExterieure, record.PneuArriereGaucheTempMilieu,
       record.PneuArriereGaucheTempInterieure, record.PneuArriereGauchePression,
       record.PneuArriereGaucheDisqueFrein, record.PneuArriereGaucheUsure},
      {"rr", record.PneuArriereDroitTempExterieure, record.PneuArriereDroitTempMilieu,
       record.PneuArriereDroitTempInterieure, record.PneuArriereDroitPression,
       record.PneuArriereDroitDisqueFrein, record.PneuArriereDroitUsure},
  };
  for (int i = 0; i < 4; ++i) {
    const WheelData& data = wheels[i];
    Wheel& wheel = wheels_[i];
    const std::string key = data.key;
    SetUnitPanel(state_, key + "o", wheel.outer, data.outer);
    SetUnitPanel(state_, key + "m", wheel.middle, data.middle);
    SetUnitPanel(state_, key + "i", wheel.inner, data.inner);
    SetUnitPanel(state_, key + "p", wheel.pressure, data.pressure);
    SetUnitPanel(state_, key + "b", wheel.brake, data.brake);
    CapturedPosition gauge;
    wheel.wear.FGauge = &gauge;
    wheel.wear.FValue = data.wear;
    wheel.wear.Display();
    wheel.wear.FGauge = nullptr;
    state_[key + "w"] = Whole(gauge.Position());
  }
  SetUnitPanel(state_, "wa", water_, record.Eau);
  SetUnitPanel(state_, "oi", oil_, record.Huille);

  CapturedPanel wear;
  engine_wear_.FPanel = &wear;
  engine_wear_.FValue = record.UsureMoteur;
  engine_wear_.FUsureReference = record.UsureMoteurReference;
  engine_wear_.Display();
  engine_wear_.FPanel = nullptr;
  state_["ew"] = "[" + JsonString(wear.Text()) + "," + JsonString(ColorText(wear.Color())) + "]";

  CapturedPanel gear;
  gear_.FEtiquette = &gear;
  gear_.FValue = record.RapportVitesse;
  gear_.Display();
  gear_.FEtiquette = nullptr;
  state_["g"] = JsonString(gear.Text());

  state_["sp"] = Fixed(static_cast<double>(record.Vitesse) * 3.6, 0, kMaxSpeedKmh);
  state_["th"] = Whole(Percent(record.Acceleration));
  state_["br"] = Whole(Percent(record.Freinage));
  state_["cl"] = Whole(Percent(record.Embrayage));
  state_["abs"] = Whole(record.ABS);
  state_["tc"] = Whole(record.Traction);
  state_["stb"] = Whole(record.Stabilite & 0xFF);
  state_["cll"] = Whole(record.EmbrayageLed & 0xFF);
  state_["lim"] = Whole(record.Limiteur & 0xFF);
  state_["hl"] = Whole(record.Phares);
  state_["pit"] = Whole(record.PitIn);
  state_["ign"] = Whole(record.Contact);
  state_["ck"] = Whole(record.InCockpit);
  state_["fu"] = Fixed(record.Fuel, 1, kMaxFuel);
  state_["lt"] = Seconds(record.TempsDernierTour);
  state_["bt"] = Seconds(record.TempsMeilleurTour);
  state_["pos"] = Whole(record.Position);
  state_["nd"] = Whole(record.NombreJoueur);
  state_["lap"] = PlausibleLap(record.NombreTour) ? Whole(record.NombreTour) : "null";
  state_["ses"] = JsonString(TSessionGTR::FormatTypeSession(record.TypeSession));
  state_["sc"] = JsonString(SessionClockText(record));
  AddLap(record);
  return state_;
}

void ViewBuilder::AddLap(const TGameData& record) {
  const int laps = record.NombreTour;
  if (!PlausibleLap(laps)) {
    // Rows and fuel stay as they were: one absurd record must not wipe the session's laps.
    state_["ll"] = "null";
    return;
  }
  if (laps < lap_count_) {
    // A new session: its rows start again from lap 1, so the old ones go (the viewers are told once).
    while (!rows_.empty()) {
      EraseRow(*rows_.begin());
    }
    fuel_used_total_ = 0.0;
    laps_with_fuel_ = 0;
  }
  if (laps != lap_count_) {
    // A lap that the relay saw from its start to its end, without a refuelling, tells what a lap uses.
    if (lap_count_ >= 0 && laps == lap_count_ + 1 && fuel_at_lap_start_ >= record.Fuel) {
      const double lap_fuel = fuel_at_lap_start_ - record.Fuel;
      const std::string shown = Fixed(lap_fuel, 2, kMaxFuel);
      if (shown != "null") {
        fuel_used_total_ += lap_fuel;
        ++laps_with_fuel_;
        state_["lf" + Whole(laps)] = shown;
        rows_.insert(laps);
      }
    }
    lap_count_ = laps;
    fuel_at_lap_start_ = record.Fuel;
    // Only the latest laps are kept, however long the session.
    while (!rows_.empty() && *rows_.begin() <= laps - kKeptLaps) {
      EraseRow(*rows_.begin());
    }
  }
  if (laps >= 1 && record.TempsDernierTour > 0.0F) {
    // The row follows the last lap's times while the lap count stays, since the simulator may write the
    // times a moment after it counts the lap.
    const double last = record.TempsDernierTour;
    const double split1 = record.TempsDernierTourSecteur1;
    const double split2 = record.TempsDernierTourSecteur2;
    const bool splits = split1 > 0.0 && split2 > split1 && last > split2;
    state_["L" + Whole(laps)] =
        "[" + Whole(laps) + "," + Seconds(last) + "," + (splits ? Seconds(split1) : "null") + "," +
        (splits ? Seconds(split2 - split1) : "null") + "," + (splits ? Seconds(last - split2) : "null") + "]";
    rows_.insert(laps);
  }
  const double average = laps_with_fuel_ > 0 ? fuel_used_total_ / laps_with_fuel_ : 0.0;
  state_["ll"] = average > 0.0 ? Fixed(record.Fuel / average, 1, kMaxLapsLeft) : "null";
}

void ViewBuilder::EraseRow(int lap) {
  state_.erase("L" + Whole(lap));
  state_.erase("lf" + Whole(lap));
  rows_.erase(lap);
}

}  // namespace velmora::web

#include "web/chart_history.h"

#include <charconv>
#include <cmath>
#include <string>

namespace velmora::web {
namespace {

std::string Number(double value, int decimals) {
  if (!std::isfinite(value)) {
    return "null";
  }
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return std::string(text, result.ptr);
}

double MeanTread(double outer, double middle, double inner) {
  return (outer + middle + inner) / 3.0;
}

}  // namespace

void ChartHistory::Add(double time_s, const TGameData& record, ViewState& state) {
  if (next_s_ && time_s < last_s_) {
    // Another time line (a recording read again from its start): the old points mean nothing on it.
    for (std::size_t slot = 0; slot < kSlots && slot < points_; ++slot) {
      state["h" + std::to_string(slot)] = "null";
    }
    next_s_.reset();
    points_ = 0;
  }
  last_s_ = time_s;
  if (next_s_ && time_s < *next_s_) {
    return;
  }
  const double tyres[4] = {
      MeanTread(record.PneuAvantGaucheTempExterieure, record.PneuAvantGaucheTempMilieu,
                record.PneuAvantGaucheTempInterieure),
      MeanTread(record.PneuAvantDroitTempExterieure, record.PneuAvantDroitTempMilieu,
                record.PneuAvantDroitTempInterieure),
      MeanTread(record.PneuArriereGaucheTempExterieure, record.PneuArriereGaucheTempMilieu,
                record.PneuArriereGaucheTempInterieure),
      MeanTread(record.PneuArriereDroitTempExterieure, record.PneuArriereDroitTempMilieu,
                record.PneuArriereDroitTempInterieure),
  };
  std::string point = "[" + Number(time_s, 1);
  for (const double tyre : tyres) {
    point += "," + Number(tyre, 1);
  }
  point += "," + Number(record.Eau, 1) + "," + Number(record.Huille, 1) + "]";
  state["h" + std::to_string(points_ % kSlots)] = std::move(point);
  ++points_;
  // On a fixed beat, so that late polls do not stretch the period.
  next_s_ = next_s_ ? *next_s_ + period_s_ : time_s + period_s_;
  if (*next_s_ <= time_s) {
    next_s_ = time_s + period_s_;
  }
}

}  // namespace velmora::web

#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "web/view_state.h"

namespace velmora::league {

// The team's or the league's cars as the relay's viewers see them, built from the messages of the cars'
// topics under one prefix. Each car's keys are the relay's own keys of one car, under "~NAME\u0001KEY"
// (NAME as JSON text); "league" marks the state as a league's. Publishers are not trusted: a payload is
// taken only as far as it is JSON with plain values, and the numbers of cars and keys are bounded.
class LeagueState final {
 public:
  static constexpr std::size_t kMaxCars = 100;
  static constexpr std::size_t kMaxKeysPerCar = 400;
  static constexpr std::size_t kMaxValueBytes = 512;
  static constexpr std::size_t kMaxPayloadBytes = 256 * 1024;
  // The laps a car keeps on the page: older rows go, as on the one-car page.
  static constexpr int kLapsKept = 50;

  explicit LeagueState(std::string prefix);

  // One message of the subscription PREFIX/#; true when the state changed.
  bool Apply(std::string_view topic, std::string_view payload);

  const web::ViewState& State() const { return state_; }
  std::size_t Cars() const { return cars_.size(); }

 private:
  struct Car {
    std::string key_prefix;  // "~NAME\u0001" as it stands in the state
    std::size_t keys = 0;
    std::set<int> laps;  // the laps whose rows the state holds
  };

  Car* FindOrAddCar(std::string_view name);
  bool ApplyValues(Car& car, std::string_view payload, bool whole);
  bool Set(Car& car, std::string_view key, std::string value);
  void DropOldLaps(Car& car);

  const std::string prefix_;  // with its trailing '/'
  std::map<std::string, Car, std::less<>> cars_;
  web::ViewState state_;
};

}  // namespace velmora::league

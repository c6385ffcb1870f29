#include "league/league_state.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include <nlohmann/json.hpp>

namespace velmora::league {
namespace {

using Json = nlohmann::json;

// A string as JSON text without its quotes: always valid, whatever bytes it held.
std::string JsonText(std::string_view text) {
  const std::string quoted = Json(std::string(text)).dump(-1, ' ', true, Json::error_handler_t::replace);
  return quoted.substr(1, quoted.size() - 2);
}

bool IsKey(std::string_view key) {
  return !key.empty() && key.size() <= 16 && std::all_of(key.begin(), key.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  });
}

// A value of the relay's state: a number, a string, null, or a short array of those.
bool IsPlainValue(const Json& value, int depth = 0) {
  if (value.is_array()) {
    return depth == 0 && value.size() <= 8 &&
           std::all_of(value.begin(), value.end(), [](const Json& item) { return IsPlainValue(item, 1); });
  }
  return value.is_number() || value.is_string() || value.is_null() || value.is_boolean();
}

// The lap a lap key belongs to ("L12", "lf12"); 0 for any other key.
int LapOfKey(std::string_view key) {
  std::string_view digits;
  if (key.starts_with("lf")) {
    digits = key.substr(2);
  } else if (key.starts_with("L")) {
    digits = key.substr(1);
  } else {
    return 0;
  }
  int lap = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), lap);
  return error == std::errc{} && end == digits.data() + digits.size() && lap > 0 && lap <= 100000 ? lap : -1;
}

}  // namespace

LeagueState::LeagueState(std::string prefix) : prefix_(std::move(prefix) + "/") {
  state_["league"] = "1";
}

bool LeagueState::Apply(std::string_view topic, std::string_view payload) {
  if (!topic.starts_with(prefix_) || payload.size() > kMaxPayloadBytes) {
    return false;
  }
  topic.remove_prefix(prefix_.size());
  const auto slash = topic.find('/');
  if (slash == std::string_view::npos || slash == 0) {
    return false;
  }
  const std::string_view name = topic.substr(0, slash);
  const std::string_view leaf = topic.substr(slash + 1);
  if (leaf != "status" && leaf != "state" && leaf != "delta") {
    return false;  // laps: their rows come with the state
  }
  Car* car = FindOrAddCar(name);
  if (car == nullptr) {
    return false;
  }
  if (leaf == "status") {
    return Set(*car, "on", payload == "online" ? "\"online\"" : "\"offline\"");
  }
  return ApplyValues(*car, payload, leaf == "state");
}

LeagueState::Car* LeagueState::FindOrAddCar(std::string_view name) {
  if (const auto found = cars_.find(name); found != cars_.end()) {
    return &found->second;
  }
  if (cars_.size() >= kMaxCars) {
    return nullptr;
  }
  Car car;
  car.key_prefix = "~" + JsonText(name) + "\\u0001";
  return &cars_.emplace(std::string(name), std::move(car)).first->second;
}

bool LeagueState::ApplyValues(Car& car, std::string_view payload, bool whole) {
  const Json message = Json::parse(payload.begin(), payload.end(), nullptr, false);
  if (message.is_discarded() || !message.is_object()) {
    return false;
  }
  const auto values = message.find("v");
  if (values == message.end() || !values->is_object()) {
    return false;
  }
  bool changed = false;
  std::vector<std::string> taken;
  for (const auto& [key, value] : values->items()) {
    // Chart history ("h" and a slot) is no car's live state: a car of a newer or a hostile publisher that
    // sends it would spend its keys on it.
    const bool chart_history = key.size() > 1 && key[0] == 'h' && key[1] >= '0' && key[1] <= '9';
    if (!IsKey(key) || key == "on" || key == "t" || chart_history || !IsPlainValue(value) ||
        LapOfKey(key) < 0) {
      continue;
    }
    std::string text = value.dump(-1, ' ', true, Json::error_handler_t::replace);
    if (text.size() > kMaxValueBytes) {
      continue;
    }
    changed = Set(car, key, std::move(text)) || changed;
    if (key.starts_with("L") && LapOfKey(key) > 0) {
      car.laps.insert(LapOfKey(key));
    }
    taken.push_back(key);
  }
  if (whole) {
    // What the car no longer has goes to null, which the page shows as empty.
    std::sort(taken.begin(), taken.end());
    const auto first = state_.lower_bound(car.key_prefix);
    for (auto it = first; it != state_.end() && it->first.starts_with(car.key_prefix); ++it) {
      const std::string_view key = std::string_view(it->first).substr(car.key_prefix.size());
      if (key != "on" && key != "t" && it->second != "null" &&
          !std::binary_search(taken.begin(), taken.end(), key)) {
        it->second = "null";
        changed = true;
      }
    }
  }
  const auto sent = message.find("t");
  if (sent != message.end() && sent->is_number_integer()) {
    Set(car, "t", sent->dump());
  }
  DropOldLaps(car);
  return changed;
}

bool LeagueState::Set(Car& car, std::string_view key, std::string value) {
  const std::string full = car.key_prefix + std::string(key);
  const auto found = state_.find(full);
  if (found == state_.end()) {
    if (car.keys >= kMaxKeysPerCar) {
      return false;
    }
    ++car.keys;
    state_.emplace(full, std::move(value));
    return true;
  }
  if (found->second == value) {
    return false;
  }
  found->second = std::move(value);
  return true;
}

void LeagueState::DropOldLaps(Car& car) {
  while (car.laps.size() > static_cast<std::size_t>(kLapsKept)) {
    const std::string lap = std::to_string(*car.laps.begin());
    car.laps.erase(car.laps.begin());
    for (const char* kind : {"L", "lf"}) {
      if (state_.erase(car.key_prefix + kind + lap) > 0) {
        --car.keys;
      }
    }
  }
}

}  // namespace velmora::league

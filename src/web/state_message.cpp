#include "web/state_message.h"

namespace velmora::web {
namespace {

void AppendPair(std::string& json, bool& first, const std::string& key, const std::string& value) {
  if (!first) {
    json += ',';
  }
  first = false;
  json += '"';
  json += key;
  json += "\":";
  json += value;
}

}  // namespace

std::string FullMessage(const ViewState& state) {
  std::string json = "{\"full\":1,\"v\":{";
  bool first = true;
  for (const auto& [key, value] : state) {
    AppendPair(json, first, key, value);
  }
  json += "}}";
  return json;
}

std::string ChangeMessage(const ViewState& before, const ViewState& after) {
  std::string json = "{\"v\":{";
  bool first = true;
  // Both maps are sorted by key: one walk finds every new or changed key.
  auto old = before.begin();
  for (const auto& [key, value] : after) {
    while (old != before.end() && old->first < key) {
      ++old;
    }
    if (old == before.end() || old->first != key || old->second != value) {
      AppendPair(json, first, key, value);
    }
  }
  if (first) {
    return {};
  }
  json += "}}";
  return json;
}

}  // namespace velmora::web

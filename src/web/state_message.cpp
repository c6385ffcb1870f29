#include "web/state_message.h"

namespace velmora::web {
namespace {

// The length of the UTF-8 sequence that starts `text` (1 to 4), or 0 when it does not start one.
std::size_t Utf8Length(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  // The second byte's range keeps the sequence the shortest one, below U+110000 and off the surrogates.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead < 0x80) {
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) {
    return 0;
  }
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) {
      return 0;
    }
  }
  return length;
}

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

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  while (!text.empty()) {
    const std::size_t length = Utf8Length(text);
    if (length == 0) {
      json += "\\uFFFD";
      text.remove_prefix(1);
      continue;
    }
    const char c = text.front();
    if (c == '"' || c == '\\') {
      json += '\\';
    }
    if (length > 1 || static_cast<unsigned char>(c) >= 0x20) {
      json.append(text.substr(0, length));
    }
    text.remove_prefix(length);
  }
  json += '"';
  return json;
}

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
  // Both maps are sorted by key: one walk finds every new, changed and removed key. A removed key is
  // sent once as null, which takes it off the page.
  auto old = before.begin();
  for (const auto& [key, value] : after) {
    for (; old != before.end() && old->first < key; ++old) {
      AppendPair(json, first, old->first, "null");
    }
    if (old == before.end() || old->first != key || old->second != value) {
      AppendPair(json, first, key, value);
    }
    if (old != before.end() && old->first == key) {
      ++old;
    }
  }
  for (; old != before.end(); ++old) {
    AppendPair(json, first, old->first, "null");
  }
  if (first) {
    return {};
  }
  json += "}}";
  return json;
}

}  // namespace velmora::web

#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

namespace velmora::cli {

// A JSON object written as it goes, one member per line.
class JsonArrayWriter;

class JsonObjectWriter final {
 public:
  JsonObjectWriter(std::ostream& out, int indent);
  void Key(std::string_view key);
  void String(std::string_view key, std::string_view value);
  void Number(std::string_view key, double value);
  void Number(std::string_view key, std::int64_t value);
  void Bool(std::string_view key, bool value);
  void Null(std::string_view key);
  // Opens a nested object under `key`; write its members with the returned writer, then close it.
  JsonObjectWriter Object(std::string_view key);
  // Opens an array under `key`; write its elements with the returned writer, then close it.
  JsonArrayWriter Array(std::string_view key);
  void Close();

 private:
  void Separator();

  std::ostream& out_;
  int indent_;
  bool first_ = true;
};

// A JSON array of objects, one element after another.
class JsonArrayWriter final {
 public:
  JsonArrayWriter(std::ostream& out, int indent);
  // Opens the next element; write its members, then close it.
  JsonObjectWriter Object();
  void Close();

 private:
  std::ostream& out_;
  int indent_;
  bool first_ = true;
};

// The text as a JSON string, with its quotes.
std::string JsonString(std::string_view text);

}  // namespace velmora::cli

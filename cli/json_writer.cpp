#include "json_writer.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace velmora::cli {

std::string JsonString(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
          quoted += escape;
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

JsonObjectWriter::JsonObjectWriter(std::ostream& out, int indent) : out_(out), indent_(indent) {
  out_ << "{";
}

void JsonObjectWriter::Separator() {
  out_ << (first_ ? "\n" : ",\n") << std::string(static_cast<std::size_t>(indent_ + 2), ' ');
  first_ = false;
}

void JsonObjectWriter::Key(std::string_view key) {
  Separator();
  out_ << JsonString(key) << ": ";
}

void JsonObjectWriter::String(std::string_view key, std::string_view value) {
  Key(key);
  out_ << JsonString(value);
}

void JsonObjectWriter::Number(std::string_view key, double value) {
  Key(key);
  // JSON has no infinities or NaN; a value the simulator holds as such reads as null.
  if (!std::isfinite(value)) {
    out_ << "null";
    return;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", value);
  out_ << text;
}

void JsonObjectWriter::Number(std::string_view key, std::int64_t value) {
  Key(key);
  out_ << value;
}

void JsonObjectWriter::Bool(std::string_view key, bool value) {
  Key(key);
  out_ << (value ? "true" : "false");
}

void JsonObjectWriter::Null(std::string_view key) {
  Key(key);
  out_ << "null";
}

JsonArrayWriter JsonObjectWriter::Array(std::string_view key) {
  Key(key);
  return JsonArrayWriter(out_, indent_ + 2);
}

JsonObjectWriter JsonObjectWriter::Object(std::string_view key) {
  Key(key);
  return JsonObjectWriter(out_, indent_ + 2);
}

void JsonObjectWriter::Close() {
  if (!first_) {
    out_ << "\n" << std::string(static_cast<std::size_t>(indent_), ' ');
  }
  out_ << "}";
}

JsonArrayWriter::JsonArrayWriter(std::ostream& out, int indent) : out_(out), indent_(indent) {
  out_ << "[";
}

JsonObjectWriter JsonArrayWriter::Object() {
  out_ << (first_ ? "\n" : ",\n") << std::string(static_cast<std::size_t>(indent_ + 2), ' ');
  first_ = false;
  return JsonObjectWriter(out_, indent_ + 2);
}

void JsonArrayWriter::Close() {
  if (!first_) {
    out_ << "\n" << std::string(static_cast<std::size_t>(indent_), ' ');
  }
  out_ << "]";
}

}  // namespace velmora::cli

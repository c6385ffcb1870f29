#pragma once

#include <QString>
#include <string_view>

namespace velmora::app {

// The core keeps its texts in UTF-8; the widgets take them as QString.
inline QString Utf8Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace velmora::app

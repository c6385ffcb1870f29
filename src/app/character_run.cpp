#include "app/character_run.h"

#include <algorithm>

#include "app/utf8_text.h"

namespace velmora::app {
namespace {

char16_t Latin1(QChar c) {
  return c.unicode();
}
char16_t Latin1(char c) {
  return static_cast<unsigned char>(c);
}

void DrawWhole(QPainter& painter, const QRectF& area, const QFont& font, const QString& text,
               Qt::Alignment alignment) {
  painter.setFont(font);
  painter.drawText(area, static_cast<int>(alignment | Qt::AlignVCenter), text);
}

}  // namespace

const CharacterRun::Glyph& CharacterRun::Looked(char16_t latin1) {
  std::optional<Glyph>& slot = glyphs_[latin1];
  if (!slot) {
    const QChar character{latin1};
    const QList<quint32> indexes = raw_font_.glyphIndexesForString(QString(character));
    // Index 0 is the font's "missing" glyph: the character comes from a fallback font or not at all.
    slot.emplace(Glyph{indexes.size() == 1 ? indexes.front() : 0, metrics_->horizontalAdvance(character)});
  }
  return *slot;
}

void CharacterRun::UseFont(const QFont& font) {
  if (!metrics_ || font != font_) {
    font_ = font;
    metrics_.emplace(font);
    raw_font_ = QRawFont::fromFont(font);
    run_.setRawFont(raw_font_);
    glyphs_ = {};
  }
}

template <typename Characters>
bool CharacterRun::DrawRun(QPainter& painter, const QRectF& area, const Characters& text,
                           Qt::Alignment alignment) {
  const auto count = static_cast<std::size_t>(text.size());
  if (indexes_.size() < count) {
    indexes_.resize(count);
    positions_.resize(count);
  }
  // Placed from 0 first; the text's width then gives where it starts.
  const qreal baseline = area.top() + (area.height() - metrics_->height()) / 2 + metrics_->ascent();
  qreal width = 0;
  std::size_t i = 0;
  for (const auto c : text) {
    const Glyph& glyph = Looked(Latin1(c));
    if (glyph.index == 0) {
      return false;
    }
    indexes_[i] = glyph.index;
    positions_[i] = QPointF(width, baseline);
    width += glyph.advance;
    ++i;
  }
  qreal left = area.left() + (area.width() - width) / 2;
  if (alignment & Qt::AlignLeft) {
    left = area.left();
  } else if (alignment & Qt::AlignRight) {
    left = area.right() - width;
  }
  run_.setRawData(indexes_.data(), positions_.data(), static_cast<int>(count));
  painter.drawGlyphRun(QPointF(left, 0), run_);
  return true;
}

void CharacterRun::Draw(QPainter& painter, const QRectF& area, const QFont& font, const QString& text,
                        Qt::Alignment alignment) {
  if (text.isEmpty()) {
    return;
  }
  UseFont(font);
  if (!std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 256; }) ||
      !DrawRun(painter, area, text, alignment)) {
    DrawWhole(painter, area, font, text, alignment);
  }
}

void CharacterRun::Draw(QPainter& painter, const QRectF& area, const QFont& font, std::string_view utf8,
                        Qt::Alignment alignment) {
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    if (!utf8.empty()) {
      UseFont(font);
      if (!DrawRun(painter, area, utf8, alignment)) {
        DrawWhole(painter, area, font, Utf8Text(utf8), alignment);
      }
    }
    return;
  }
  Draw(painter, area, font, Utf8Text(utf8), alignment);
}

}  // namespace velmora::app

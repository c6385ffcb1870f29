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

}  // namespace

const CharacterRun::Character& CharacterRun::Laid(char16_t latin1) {
  std::optional<Character>& slot = characters_[latin1];
  if (!slot) {
    const QString text(QChar{latin1});
    slot.emplace(Character{QStaticText(text), metrics_->horizontalAdvance(text)});
    slot->text.setTextFormat(Qt::PlainText);
    slot->text.prepare(QTransform(), font_);
  }
  return *slot;
}

void CharacterRun::UseFont(QPainter& painter, const QFont& font) {
  if (!metrics_ || font != font_) {
    font_ = font;
    metrics_.emplace(font);
    characters_ = {};
  }
  painter.setFont(font_);
}

template <typename Characters>
void CharacterRun::DrawRun(QPainter& painter, const QRectF& area, const Characters& text,
                           Qt::Alignment alignment) {
  qreal width = 0;
  for (const auto c : text) {
    width += Laid(Latin1(c)).advance;
  }
  qreal left = area.left() + (area.width() - width) / 2;
  if (alignment & Qt::AlignLeft) {
    left = area.left();
  } else if (alignment & Qt::AlignRight) {
    left = area.right() - width;
  }
  QPointF at(left, area.top() + (area.height() - metrics_->height()) / 2);
  for (const auto c : text) {
    const Character& character = Laid(Latin1(c));
    painter.drawStaticText(at, character.text);
    at.rx() += character.advance;
  }
}

void CharacterRun::Draw(QPainter& painter, const QRectF& area, const QFont& font, const QString& text,
                        Qt::Alignment alignment) {
  if (text.isEmpty()) {
    return;
  }
  UseFont(painter, font);
  if (!std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 256; })) {
    painter.drawText(area, static_cast<int>(alignment | Qt::AlignVCenter), text);
    return;
  }
  DrawRun(painter, area, text, alignment);
}

void CharacterRun::Draw(QPainter& painter, const QRectF& area, const QFont& font, std::string_view utf8,
                        Qt::Alignment alignment) {
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    if (!utf8.empty()) {
      UseFont(painter, font);
      DrawRun(painter, area, utf8, alignment);
    }
    return;
  }
  Draw(painter, area, font, Utf8Text(utf8), alignment);
}

}  // namespace velmora::app

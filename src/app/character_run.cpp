#include "app/character_run.h"

#include <algorithm>

namespace velmora::app {

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

void CharacterRun::Draw(QPainter& painter, const QRectF& area, const QFont& font, const QString& text,
                        Qt::Alignment alignment) {
  if (text.isEmpty()) {
    return;
  }
  if (!metrics_ || font != font_) {
    font_ = font;
    metrics_.emplace(font);
    characters_ = {};
  }
  painter.setFont(font_);
  const bool latin1 = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 256; });
  if (!latin1) {
    painter.drawText(area, static_cast<int>(alignment | Qt::AlignVCenter), text);
    return;
  }
  qreal width = 0;
  for (const QChar c : text) {
    width += Laid(c.unicode()).advance;
  }
  qreal left = area.left() + (area.width() - width) / 2;
  if (alignment & Qt::AlignLeft) {
    left = area.left();
  } else if (alignment & Qt::AlignRight) {
    left = area.right() - width;
  }
  QPointF at(left, area.top() + (area.height() - metrics_->height()) / 2);
  for (const QChar c : text) {
    const Character& character = Laid(c.unicode());
    painter.drawStaticText(at, character.text);
    at.rx() += character.advance;
  }
}

}  // namespace velmora::app

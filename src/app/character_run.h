#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QStaticText>
#include <array>
#include <optional>
#include <string_view>

namespace velmora::app {

// Short texts of Latin-1 characters (figures, units, signs) drawn from characters laid out once for a
// font. Figures in the dashboard's fonts have no kerning, so a text drawn a character at a time looks as
// laid out whole, and a text never seen before costs no layout.
class CharacterRun final {
 public:
  // Draws `text` in `area`, placed by `alignment` (left, right or centred across, centred down), in `font`
  // with the painter's pen; a text beyond Latin-1 is laid out whole. The characters laid out for another
  // font are forgotten first.
  void Draw(QPainter& painter, const QRectF& area, const QFont& font, const QString& text,
            Qt::Alignment alignment = Qt::AlignCenter);
  // The same for a UTF-8 text; an ASCII one is drawn without making a QString of it.
  void Draw(QPainter& painter, const QRectF& area, const QFont& font, std::string_view utf8,
            Qt::Alignment alignment = Qt::AlignCenter);

 private:
  void UseFont(QPainter& painter, const QFont& font);
  template <typename Characters>
  void DrawRun(QPainter& painter, const QRectF& area, const Characters& text, Qt::Alignment alignment);

  struct Character {
    QStaticText text;
    qreal advance = 0;
  };
  const Character& Laid(char16_t latin1);

  QFont font_;
  std::optional<QFontMetricsF> metrics_;
  std::array<std::optional<Character>, 256> characters_;
};

}  // namespace velmora::app

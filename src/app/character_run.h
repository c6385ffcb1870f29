#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace velmora::app {

// Short texts of Latin-1 characters (figures, units, signs) drawn from glyphs looked up once for a font.
// Figures in the dashboard's fonts have no kerning, so a text placed glyph by glyph looks as laid out
// whole, a text never seen before costs no layout, and a whole text is one glyph run to the painter.
class CharacterRun final {
 public:
  // Draws `text` in `area`, placed by `alignment` (left, right or centred across, centred down), in `font`
  // with the painter's pen; a text beyond Latin-1, or with a character the font itself lacks, is laid out
  // whole. The glyphs looked up for another font are forgotten first.
  void Draw(QPainter& painter, const QRectF& area, const QFont& font, const QString& text,
            Qt::Alignment alignment = Qt::AlignCenter);
  // The same for a UTF-8 text; an ASCII one is drawn without making a QString of it.
  void Draw(QPainter& painter, const QRectF& area, const QFont& font, std::string_view utf8,
            Qt::Alignment alignment = Qt::AlignCenter);

 private:
  void UseFont(const QFont& font);
  // False when a character needs a fallback font: the text is then drawn whole.
  template <typename Characters>
  bool DrawRun(QPainter& painter, const QRectF& area, const Characters& text, Qt::Alignment alignment);

  struct Glyph {
    quint32 index = 0;
    qreal advance = 0;
  };
  const Glyph& Looked(char16_t latin1);

  QFont font_;
  std::optional<QFontMetricsF> metrics_;
  QRawFont raw_font_;
  std::array<std::optional<Glyph>, 256> glyphs_;
  // Kept between texts so that drawing one allocates nothing once the longest has been seen.
  std::vector<quint32> indexes_;
  std::vector<QPointF> positions_;
  QGlyphRun run_;
};

}  // namespace velmora::app

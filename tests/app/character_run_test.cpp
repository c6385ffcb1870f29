// Figures drawn a character at a time must land where the same text drawn whole would: the panels, the
// summary row and the driver list draw theirs this way.
#include "app/character_run.h"

#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <functional>
#include <string_view>

#include <gtest/gtest.h>

namespace velmora::app {
namespace {

QImage Drawn(const std::function<void(QPainter&, const QRectF&)>& draw) {
  QImage image(140, 40, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setPen(Qt::white);
  draw(painter, QRectF(4, 4, 132, 32));
  return image;
}

// The smallest rectangle holding every pixel that is not background.
QRect Ink(const QImage& image) {
  QRect ink;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != qRgb(0, 0, 0)) {
        ink |= QRect(x, y, 1, 1);
      }
    }
  }
  return ink;
}

QFont Arial(int pixels, bool bold) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

TEST(CharacterRunTest, DrawsATextWhereTheWholeTextWouldBe) {
  struct Case {
    const char* utf8;
    QFont font;
    Qt::Alignment alignment;
  };
  // One run for all: a new font must replace the characters laid out for the one before.
  CharacterRun run;
  for (const Case& c :
       {Case{"80", Arial(24, true), Qt::AlignCenter}, Case{"-0:01.000", Arial(15, false), Qt::AlignRight},
        Case{"1:59.999", Arial(15, false), Qt::AlignLeft},
        Case{"21.5\u00B0C", Arial(16, true), Qt::AlignCenter},
        Case{"180", Arial(24, true), Qt::AlignCenter}}) {
    SCOPED_TRACE(c.utf8);
    const QString text = QString::fromUtf8(c.utf8);
    const QRect whole = Ink(Drawn([&](QPainter& painter, const QRectF& area) {
      painter.setFont(c.font);
      painter.drawText(area, static_cast<int>(c.alignment | Qt::AlignVCenter), text);
    }));
    ASSERT_FALSE(whole.isEmpty());
    const QRect from_utf8 = Ink(Drawn([&](QPainter& painter, const QRectF& area) {
      run.Draw(painter, area, c.font, std::string_view(c.utf8), c.alignment);
    }));
    const QRect from_text = Ink(Drawn(
        [&](QPainter& painter, const QRectF& area) { run.Draw(painter, area, c.font, text, c.alignment); }));
    for (const QRect& drawn : {from_utf8, from_text}) {
      EXPECT_LE(std::abs(drawn.left() - whole.left()), 1) << drawn.left() << " " << whole.left();
      EXPECT_LE(std::abs(drawn.right() - whole.right()), 1) << drawn.right() << " " << whole.right();
      EXPECT_LE(std::abs(drawn.top() - whole.top()), 1) << drawn.top() << " " << whole.top();
      EXPECT_LE(std::abs(drawn.bottom() - whole.bottom()), 1) << drawn.bottom() << " " << whole.bottom();
    }
  }
}

}  // namespace
}  // namespace velmora::app

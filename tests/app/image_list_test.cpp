// The weather gauges' pictures are rendered once and painted from there: what they paint must stay what
// the drawing rendered in place paints, also on a screen of another density.
#include "gauges/image_list.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "picture_difference.h"

namespace velmora::gauges {
namespace {

QImage Background(qreal ratio) {
  QImage image(QSize(40, 30) * ratio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(QColor(212, 208, 200));
  return image;
}

TEST(ImageListTest, PaintsEachPictureAsItsDrawingRenderedInPlace) {
  const std::vector<QString> pictures{QStringLiteral(":/assets/forecast_0.svg"),
                                      QStringLiteral(":/assets/forecast_3.svg")};
  const ImageList images(QSize(24, 24), pictures);
  // Each picture twice (the second time from what the first rendered), then on a denser screen.
  for (const qreal ratio : {1.0, 1.0, 2.0}) {
    for (int index = 0; index < images.Count(); ++index) {
      SCOPED_TRACE("picture " + std::to_string(index) + " at ratio " + std::to_string(ratio));
      QImage painted = Background(ratio);
      {
        QPainter painter(&painted);
        images.Draw(painter, index, 8, 3);
      }
      QImage rendered = Background(ratio);
      {
        QPainter painter(&rendered);
        QSvgRenderer(pictures[static_cast<std::size_t>(index)]).render(&painter, QRectF(8, 3, 24, 24));
      }
      ASSERT_NE(rendered, Background(ratio));
      EXPECT_LE(test::LargestDifference(painted, rendered), 2);
    }
  }
}

}  // namespace
}  // namespace velmora::gauges

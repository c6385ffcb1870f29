#include "gauges/image_list.h"

#include <QPainter>
#include <QSvgRenderer>

namespace velmora::gauges {

ImageList::ImageList(QSize size, const std::vector<QString>& pictures) : size_(size) {
  for (const QString& picture : pictures) {
    renderers_.push_back(std::make_unique<QSvgRenderer>(picture));
  }
}

ImageList::~ImageList() = default;

void ImageList::Draw(QPainter& painter, int index, int x, int y) const {
  if (index < 0 || index >= Count()) {
    return;
  }
  renderers_[static_cast<std::size_t>(index)]->render(&painter, QRectF(QPointF(x, y), QSizeF(size_)));
}

}  // namespace velmora::gauges

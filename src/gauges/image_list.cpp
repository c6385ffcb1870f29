#include "gauges/image_list.h"

#include <QPainter>
#include <QSvgRenderer>

namespace velmora::gauges {

ImageList::ImageList(QSize size, const std::vector<QString>& pictures) : size_(size) {
  for (const QString& picture : pictures) {
    renderers_.push_back(std::make_unique<QSvgRenderer>(picture));
  }
  rendered_.resize(renderers_.size());
}

ImageList::~ImageList() = default;

void ImageList::Draw(QPainter& painter, int index, int x, int y) const {
  if (index < 0 || index >= Count()) {
    return;
  }
  const auto at = static_cast<std::size_t>(index);
  const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatio() : 1.0;
  QPixmap& picture = rendered_[at];
  if (picture.isNull() || picture.devicePixelRatio() != ratio) {
    picture = QPixmap(size_ * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter onto(&picture);
    renderers_[at]->render(&onto, QRectF(QPointF(), QSizeF(size_)));
  }
  painter.drawPixmap(x, y, picture);
}

}  // namespace velmora::gauges

#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>
#include <memory>
#include <vector>

class QPainter;
class QSvgRenderer;

namespace velmora::gauges {

// Pictures of one size, drawn by index; the gauges hold a non-owning pointer to one. Each drawing is
// rendered once for the screen's density and painted from there: a gauge paints at every new reading.
class ImageList final {
 public:
  // `pictures` are resource paths of SVG drawings, drawn at `size`.
  ImageList(QSize size, const std::vector<QString>& pictures);
  ~ImageList();
  ImageList(const ImageList&) = delete;
  ImageList& operator=(const ImageList&) = delete;

  QSize Size() const { return size_; }
  int Count() const { return static_cast<int>(renderers_.size()); }
  // Draws picture `index` with its top left corner at (x, y); an index out of range draws nothing.
  void Draw(QPainter& painter, int index, int x, int y) const;

 private:
  QSize size_;
  std::vector<std::unique_ptr<QSvgRenderer>> renderers_;
  mutable std::vector<QPixmap> rendered_;  // by index; null until first drawn
};

}  // namespace velmora::gauges

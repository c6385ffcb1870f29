#include "gauges/weather_gauges.h"

#include <QPainter>

#include "gauges/image_list.h"

namespace velmora::gauges {
namespace {

QRect ToQRect(const Rect& rect) {
  return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

}  // namespace

TVelmoraBase::TVelmoraBase(const QString& name, QWidget* parent) : QWidget(parent) {
  setObjectName(name);
}

void TVelmoraBase::SetLeftMargin(int pixels) {
  if (pixels != left_margin_) {
    left_margin_ = pixels;
    update();
  }
}

PaintArea TVelmoraBase::Area(const ImageList* images) const {
  PaintArea area{width(), height(), std::nullopt, std::nullopt, left_margin_};
  if (images != nullptr) {
    area.image_width = images->Size().width();
    area.image_height = images->Size().height();
  }
  return area;
}

void TVelmoraBase::PaintLayout(const GaugePaint& paint, const ImageList* images) {
  QPainter painter(this);
  if (paint.background) {
    painter.fillRect(ToQRect(*paint.background), palette().color(backgroundRole()));
  }
  const QColor font_colour = palette().color(foregroundRole());
  for (const auto* item : {&paint.caption, &paint.value}) {
    if (!*item) {
      continue;
    }
    const TextItem& text = **item;
    QFont font = this->font();
    if (text.emphasised) {
      font.setBold(true);
      if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() + 2.0);
      } else {
        font.setPixelSize(font.pixelSize() + qRound(2.0 * logicalDpiY() / 72.0));
      }
    }
    painter.setFont(font);
    painter.setPen(text.colour ? QColor(text.colour->red, text.colour->green, text.colour->blue)
                               : font_colour);
    const QRect rect = ToQRect(text.rect);
    painter.save();
    painter.setClipRect(rect);
    const int align = (text.align == TextAlign::Left ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter |
                      Qt::TextSingleLine | Qt::TextExpandTabs;
    painter.drawText(rect, align, QString::fromStdString(text.text));
    painter.restore();
  }
  if (paint.image && images != nullptr) {
    images->Draw(painter, paint.image->index, paint.image->x, paint.image->y);
  }
}

// --- caption, value and trend arrow

template <typename Model, typename Target>
TVelmoraTrendGauge<Model, Target>::TVelmoraTrendGauge(const QString& name, QWidget* parent)
    : TVelmoraBase(name, parent) {}

template <typename Model, typename Target>
void TVelmoraTrendGauge<Model, Target>::Repaint(bool needed) {
  if (needed) {
    update();
  }
}

template <typename Model, typename Target>
void TVelmoraTrendGauge<Model, Target>::SetCaption(const QString& caption) {
  Repaint(gauge_.SetCaption(caption.toStdString()));
}
template <typename Model, typename Target>
void TVelmoraTrendGauge<Model, Target>::SetImageDown(int index) {
  Repaint(gauge_.SetImageDown(index));
}
template <typename Model, typename Target>
void TVelmoraTrendGauge<Model, Target>::SetImageHorizontal(int index) {
  Repaint(gauge_.SetImageHorizontal(index));
}
template <typename Model, typename Target>
void TVelmoraTrendGauge<Model, Target>::SetImageUp(int index) {
  Repaint(gauge_.SetImageUp(index));
}
template <typename Model, typename Target>
void TVelmoraTrendGauge<Model, Target>::SetImageList(const ImageList* images) {
  Repaint(images != images_);
  images_ = images;
}
template <typename Model, typename Target>
void TVelmoraTrendGauge<Model, Target>::SetValue(double value) {
  Repaint(gauge_.SetValue(static_cast<float>(value)));
}

template <typename Model, typename Target>
void TVelmoraTrendGauge<Model, Target>::paintEvent(QPaintEvent*) {
  PaintLayout(gauge_.Paint(Area(images_)), images_);
}

template class TVelmoraTrendGauge<WetnessGauge, GaugeValueTarget>;
template class TVelmoraTrendGauge<TemperatureGauge, TemperatureGaugeTarget>;

TVelmoraHumiditySector::TVelmoraHumiditySector(const QString& name, QWidget* parent)
    : TVelmoraTrendGauge(name, parent) {
  setAutoFillBackground(false);
}

// --- forecast

TVelmoraForecast::TVelmoraForecast(const QString& name, QWidget* parent) : TVelmoraBase(name, parent) {
  // The toolkit's erase shows the control's colour; the forecast draws no background of its own.
  setAutoFillBackground(true);
}

void TVelmoraForecast::SetImage(int picture, int index) {
  if (gauge_.SetImage(picture, index)) {
    update();
  }
}

void TVelmoraForecast::SetImageList(const ImageList* images) {
  if (images != images_) {
    images_ = images;
    update();
  }
}

void TVelmoraForecast::SetValue(double value) {
  if (gauge_.SetValue(static_cast<float>(value))) {
    update();
  }
}

void TVelmoraForecast::paintEvent(QPaintEvent*) {
  PaintLayout(gauge_.Paint(Area(images_)), images_);
}

}  // namespace velmora::gauges

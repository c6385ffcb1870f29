#include "app/display_widgets.h"

#include <QEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>

#include "app/utf8_text.h"

namespace velmora::app {

void PlaceFixed(QWidget& widget, const QRect& where) {
  widget.setFixedSize(where.size());
  widget.move(where.topLeft());
}

PanelWidget::PanelWidget(const QString& name, QWidget* parent) : QWidget(parent) {
  setObjectName(name);
  // The fill covers every pixel, so nothing underneath needs drawing first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PanelWidget::SetText(std::string_view text) {
  if (text != text_) {
    text_ = text;
    update();
  }
}

QString PanelWidget::Text() const {
  return QString::fromStdString(text_);
}

void PanelWidget::SetColor(Rgb color) {
  if (color != color_) {
    color_ = color;
    update();
  }
}

void PanelWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(color_.red, color_.green, color_.blue));
  painter.setPen(palette().color(foregroundRole()));
  characters_.Draw(painter, QRectF(rect()), font(), text_);
}

LabelWidget::LabelWidget(const QString& name, QWidget* parent) : QLabel(parent) {
  setObjectName(name);
}

void LabelWidget::SetText(std::string_view text) {
  if (text == text_) {
    return;
  }
  text_ = text;
  shown_ = false;
  if (isVisible()) {
    ShowText();
  }
}

void LabelWidget::showEvent(QShowEvent* event) {
  if (!shown_) {
    ShowText();
  }
  QLabel::showEvent(event);
}

void LabelWidget::ShowText() {
  setText(Utf8Text(text_));
  shown_ = true;
}

LargeTextLabel::LargeTextLabel(const QString& name, QWidget* parent) : QLabel(parent) {
  setObjectName(name);
  // The gear changes often. Filled in its own background colour, the label covers its place, so that a new
  // gear draws the label alone and not also the panels it lies on.
  setAutoFillBackground(true);
}

void LargeTextLabel::SetText(std::string_view text) {
  setText(Utf8Text(text));
}

void LargeTextLabel::paintEvent(QPaintEvent*) {
  const QString shown = text();
  if (shown.isEmpty()) {
    return;
  }
  const qreal ratio = devicePixelRatioF();
  auto picture = pictures_.constFind(shown);
  if (picture != pictures_.constEnd() && picture->devicePixelRatio() != ratio) {
    pictures_.clear();  // moved to a screen of another density
    picture = pictures_.constEnd();
  }
  if (picture == pictures_.constEnd()) {
    if (pictures_.size() >= kMaxPictures) {
      pictures_.clear();
    }
    QPixmap drawn(size() * ratio);
    drawn.setDevicePixelRatio(ratio);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(QRect(QPoint(), size()), static_cast<int>(alignment()), shown);
    painter.end();
    picture = pictures_.insert(shown, drawn);
  }
  QPainter(this).drawPixmap(0, 0, *picture);
}

void LargeTextLabel::changeEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::EnabledChange:
    case QEvent::ActivationChange:  // the colours of an inactive window may differ
      pictures_.clear();
      break;
    default:
      break;
  }
  QLabel::changeEvent(event);
}

void LargeTextLabel::resizeEvent(QResizeEvent* event) {
  pictures_.clear();
  QLabel::resizeEvent(event);
}

StateImage::StateImage(const QString& name, std::array<QString, 3> pictures, int initial, QWidget* parent)
    : QWidget(parent), picture_(initial) {
  setObjectName(name);
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    if (!pictures[i].isEmpty()) {
      renderers_[i] = std::make_unique<QSvgRenderer>(pictures[i]);
    }
  }
}

StateImage::~StateImage() = default;

void StateImage::ShowPicture(int picture) {
  if (picture != picture_) {
    picture_ = picture;
    update();
  }
}

void StateImage::paintEvent(QPaintEvent*) {
  if (picture_ < 1 || picture_ > 3) {
    return;
  }
  const auto& renderer = renderers_[static_cast<std::size_t>(picture_ - 1)];
  if (renderer != nullptr && renderer->isValid()) {
    QPainter painter(this);
    renderer->render(&painter, QRectF(rect()));
  }
}

BarGauge::BarGauge(const QString& name, Qt::Orientation orientation, const QColor& color, QWidget* parent)
    : QWidget(parent), orientation_(orientation), color_(color) {
  setObjectName(name);
  // Every pixel is painted, so nothing underneath needs drawing first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  QFont text_font(QStringLiteral("Arial"));
  text_font.setPixelSize(11);
  text_font.setBold(true);
  setFont(text_font);
}

void BarGauge::SetPosition(int position) {
  position_ = position;
  // Positions past the range draw as a full (or empty) bar.
  const int value = std::clamp(position, 0, 100);
  if (value != value_) {
    value_ = value;
    update();
  }
}

QString BarGauge::Text() const {
  return orientation_ == Qt::Horizontal ? QStringLiteral("%1%").arg(value_) : QString::number(value_);
}

void BarGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect frame = rect();
  painter.fillRect(frame, QColor(0x20, 0x20, 0x20));
  const QRect inside = frame.adjusted(1, 1, -1, -1);
  QRect filled = inside;
  if (orientation_ == Qt::Horizontal) {
    filled.setWidth(inside.width() * value_ / 100);
  } else {
    filled.setTop(inside.bottom() + 1 - inside.height() * value_ / 100);
  }
  if (!filled.isEmpty()) {
    painter.fillRect(filled, color_);
  }
  painter.setPen(QColor(0x60, 0x60, 0x60));
  painter.drawRect(frame.adjusted(0, 0, -1, -1));
  painter.setPen(Qt::white);
  characters_.Draw(painter, QRectF(inside), font(), Text());
}

}  // namespace velmora::app

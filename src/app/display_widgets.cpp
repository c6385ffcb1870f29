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
    const QRect was = Filled(value_);
    value_ = value;
    // A pedal moves at every cycle: only the band between the two levels and the figures are drawn again.
    const QRect inside = Inside();
    const int text_height = fontMetrics().height() + 2;
    const QRect figures(inside.left(), inside.top() + (inside.height() - text_height) / 2, inside.width(),
                        text_height);
    update(QRegion(was).xored(QRegion(Filled(value_))) + (figures & inside));
  }
}

QRect BarGauge::Inside() const {
  return rect().adjusted(1, 1, -1, -1);
}

QRect BarGauge::Filled(int value) const {
  const QRect inside = Inside();
  QRect filled = inside;
  if (orientation_ == Qt::Horizontal) {
    filled.setWidth(inside.width() * value / 100);
  } else {
    filled.setTop(inside.bottom() + 1 - inside.height() * value / 100);
  }
  return filled;
}

QString BarGauge::Text() const {
  return orientation_ == Qt::Horizontal ? QStringLiteral("%1%").arg(value_) : QString::number(value_);
}

void BarGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect frame = rect();
  const QRect inside = Inside();
  const QRect filled = Filled(value_);
  QRect empty = inside;
  if (orientation_ == Qt::Horizontal) {
    empty.setLeft(filled.right() + 1);
  } else {
    empty.setBottom(filled.top() - 1);
  }
  painter.fillRect(empty, QColor(0x20, 0x20, 0x20));
  painter.fillRect(filled, color_);
  // The frame as four fills: a stroked rectangle goes through the painter's outline machinery.
  const QColor edge(0x60, 0x60, 0x60);
  painter.fillRect(QRect(frame.left(), frame.top(), frame.width(), 1), edge);
  painter.fillRect(QRect(frame.left(), frame.bottom(), frame.width(), 1), edge);
  painter.fillRect(QRect(frame.left(), frame.top() + 1, 1, frame.height() - 2), edge);
  painter.fillRect(QRect(frame.right(), frame.top() + 1, 1, frame.height() - 2), edge);
  painter.setPen(Qt::white);
  characters_.Draw(painter, QRectF(inside), font(), Text());
}

}  // namespace velmora::app

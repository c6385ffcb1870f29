#include "app/display_widgets.h"

#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>

namespace velmora::app {

PanelWidget::PanelWidget(const QString& name, QWidget* parent) : QLabel(parent) {
  setObjectName(name);
  setAlignment(Qt::AlignCenter);
  setAutoFillBackground(true);
}

void PanelWidget::SetText(std::string_view text) {
  setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void PanelWidget::SetColor(Rgb color) {
  if (color == color_ && autoFillBackground()) {
    return;
  }
  color_ = color;
  QPalette colors = palette();
  colors.setColor(QPalette::Window, QColor(color.red, color.green, color.blue));
  setPalette(colors);
}

LabelWidget::LabelWidget(const QString& name, QWidget* parent) : QLabel(parent) {
  setObjectName(name);
}

void LabelWidget::SetText(std::string_view text) {
  setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
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
    : QProgressBar(parent) {
  setObjectName(name);
  setOrientation(orientation);
  setRange(0, 100);
  setTextVisible(true);
  setFormat(orientation == Qt::Horizontal ? QStringLiteral("%p%") : QStringLiteral("%v"));
  setAlignment(Qt::AlignCenter);
  setStyleSheet(QStringLiteral("QProgressBar { background: #202020; color: white; border: 1px solid #606060;"
                               " font: bold 11px Arial; }"
                               "QProgressBar::chunk { background: %1; }")
                    .arg(color.name()));
}

void BarGauge::SetPosition(int position) {
  // Positions past the range draw as a full (or empty) bar.
  setValue(std::clamp(position, 0, 100));
  position_ = position;
}

}  // namespace velmora::app

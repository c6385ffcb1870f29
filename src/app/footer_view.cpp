#include "app/footer_view.h"

#include <QFont>
#include <QPainter>

namespace velmora::app {
namespace {

constexpr const char* kTitles[TFooterInformation::kColumnCount] = {
    "Best Intermediate 1", "Best Intermediate 2", "Best Final", "Fuel Left", "Ave. Fuel", "Laps Left"};
constexpr int kDesignWidths[TFooterInformation::kColumnCount] = {114, 114, 114, 80, 80, 80};
constexpr int kDesignWidth = 582;

}  // namespace

FooterView::FooterView(TFooterInformation& footer, QWidget* parent) : QWidget(parent), footer_(&footer) {
  setObjectName(QStringLiteral("FooterInformation"));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void FooterView::CreateNodeFooter() {
  footer_->FirstNodeData = {};
  update();
}

void FooterView::RepaintRow() {
  update(0, kHeaderHeight, width(), height() - kHeaderHeight);
}

QString FooterView::CellText(int column) const {
  return QString::fromStdString(footer_->GetText(static_cast<std::size_t>(column)));
}

QColor FooterView::CellColor(int column) const {
  const Rgb color = footer_->ColumnColor(static_cast<std::size_t>(column));
  return QColor(color.red, color.green, color.blue);
}

QString FooterView::Title(int column) {
  return QString::fromLatin1(kTitles[column]);
}

QRect FooterView::CellRect(int column) const {
  // Scaled by the widget's width as the window's proportional resize scales the design widths, truncating.
  const double scale = static_cast<double>(width()) / kDesignWidth;
  int left = 0;
  for (int i = 0; i < column; ++i) {
    left += static_cast<int>(kDesignWidths[i] * scale);
  }
  return {left, 0, static_cast<int>(kDesignWidths[column] * scale), height()};
}

void FooterView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  QFont titles(QStringLiteral("Tahoma"));
  titles.setPixelSize(11);
  titles.setBold(false);
  QFont cells(QStringLiteral("Arial"));
  cells.setPixelSize(16);
  cells.setBold(true);
  for (int column = 0; column < static_cast<int>(TFooterInformation::kColumnCount); ++column) {
    const QRect cell = CellRect(column);
    // One pixel of black between the columns, as vertical grid lines.
    const QRect title(cell.left(), 0, cell.width() - 1, kHeaderHeight - 1);
    painter.fillRect(title, QColor(212, 208, 200));
    painter.setPen(Qt::black);
    painter.setFont(titles);
    painter.drawText(title, Qt::AlignCenter, Title(column));
    // The text first: it moves the blink, which decides the colour.
    const QString text = CellText(column);
    const QRect row(cell.left(), kHeaderHeight, cell.width() - 1, height() - kHeaderHeight);
    painter.fillRect(row, CellColor(column));
    painter.setFont(cells);
    painter.drawText(row, Qt::AlignCenter, text);
  }
}

}  // namespace velmora::app

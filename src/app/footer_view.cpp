#include "app/footer_view.h"

#include <QFont>
#include <QPaintEvent>
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
  TakeAllCells();
}

void FooterView::CreateNodeFooter() {
  footer_->FirstNodeData = {};
  TakeAllCells();
  update();
}

void FooterView::TakeAllCells() {
  for (int column = 0; column < static_cast<int>(TFooterInformation::kColumnCount); ++column) {
    TakeCell(column);
  }
}

bool FooterView::TakeCell(int column) {
  // The text first: it moves the blink, which decides the colour.
  QString text = CellText(column);
  const QColor color = CellColor(column);
  ShownCell& shown = shown_[static_cast<std::size_t>(column)];
  if (text == shown.text && color == shown.color) {
    return false;
  }
  shown.text = std::move(text);
  shown.color = color;
  return true;
}

void FooterView::RepaintRow() {
  for (int column = 0; column < static_cast<int>(TFooterInformation::kColumnCount); ++column) {
    if (TakeCell(column)) {
      const QRect cell = CellRect(column);
      update(cell.left(), kHeaderHeight, cell.width(), height() - kHeaderHeight);
    }
  }
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

void FooterView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::black);
  QFont titles(QStringLiteral("Tahoma"));
  titles.setPixelSize(11);
  titles.setBold(false);
  QFont cells(QStringLiteral("Arial"));
  cells.setPixelSize(16);
  cells.setBold(true);
  for (int column = 0; column < static_cast<int>(TFooterInformation::kColumnCount); ++column) {
    const QRect cell = CellRect(column);
    if (!event->region().intersects(cell)) {
      continue;
    }
    // One pixel of black between the columns, as vertical grid lines.
    const QRect title(cell.left(), 0, cell.width() - 1, kHeaderHeight - 1);
    painter.setPen(Qt::black);
    if (event->region().intersects(title)) {
      painter.fillRect(title, QColor(212, 208, 200));
      painter.setFont(titles);
      painter.drawText(title, Qt::AlignCenter, Title(column));
    }
    const ShownCell& shown = shown_[static_cast<std::size_t>(column)];
    const QRect row(cell.left(), kHeaderHeight, cell.width() - 1, height() - kHeaderHeight);
    painter.fillRect(row, shown.color);
    cell_characters_.Draw(painter, QRectF(row), cells, shown.text);
  }
}

}  // namespace velmora::app

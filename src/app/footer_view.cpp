#include "app/footer_view.h"

#include <QColor>
#include <QFont>
#include <QHeaderView>

namespace velmora::app {
namespace {

constexpr const char* kTitles[TFooterInformation::kColumnCount] = {
    "Best Intermediate 1", "Best Intermediate 2", "Best Final", "Fuel Left", "Ave. Fuel", "Laps Left"};
constexpr int kDesignWidths[TFooterInformation::kColumnCount] = {114, 114, 114, 80, 80, 80};

}  // namespace

FooterModel::FooterModel(TFooterInformation& footer, QObject* parent)
    : QAbstractTableModel(parent), footer_(&footer) {}

int FooterModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 1;
}

int FooterModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(TFooterInformation::kColumnCount);
}

QVariant FooterModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() != 0 || index.column() >= columnCount()) {
    return {};
  }
  const auto column = static_cast<std::size_t>(index.column());
  switch (role) {
    case Qt::DisplayRole:
      // Asking the laps-left text is what moves its blink on.
      return QString::fromStdString(footer_->GetText(column));
    case Qt::BackgroundRole: {
      const Rgb color = footer_->ColumnColor(column);
      return QColor(color.red, color.green, color.blue);
    }
    case Qt::ForegroundRole:
      return QColor(Qt::black);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignCenter);
    default:
      return {};
  }
}

QVariant FooterModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columnCount()) {
    return QString::fromLatin1(kTitles[section]);
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

void FooterModel::Reset() {
  beginResetModel();
  footer_->FirstNodeData = {};
  endResetModel();
}

FooterView::FooterView(TFooterInformation& footer, QWidget* parent)
    : QTableView(parent), model_(new FooterModel(footer, this)) {
  setObjectName(QStringLiteral("FooterInformation"));
  setModel(model_);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::NoSelection);
  setFocusPolicy(Qt::NoFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  verticalHeader()->hide();
  horizontalHeader()->setFixedHeight(kHeaderHeight);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setHighlightSections(false);
  QFont cells(QStringLiteral("Arial"));
  cells.setPixelSize(16);
  cells.setBold(true);
  setFont(cells);
  QFont titles(QStringLiteral("Tahoma"));
  titles.setPixelSize(11);
  titles.setBold(false);
  horizontalHeader()->setFont(titles);
  // Vertical lines between the columns only, on black.
  setShowGrid(false);
  setStyleSheet(
      QStringLiteral("QTableView { background: black; border: none; }"
                     "QTableView::item { border-right: 1px solid black; }"));
  for (int column = 0; column < static_cast<int>(TFooterInformation::kColumnCount); ++column) {
    setColumnWidth(column, kDesignWidths[column]);
  }
}

void FooterView::CreateNodeFooter() {
  model_->Reset();
}

void FooterView::RepaintRow() {
  viewport()->update();
}

void FooterView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  // The single row fills what the titles leave.
  verticalHeader()->setDefaultSectionSize(std::max(1, height() - kHeaderHeight));
  setRowHeight(0, std::max(1, height() - kHeaderHeight));
}

}  // namespace velmora::app

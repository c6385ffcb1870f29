#include "app/lap_grid_view.h"

#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

#include "app/character_run.h"
#include "app/item_view_style.h"
#include "app/proportional_scaler.h"
#include "app/utf8_text.h"

namespace velmora::app {
namespace {

constexpr int kRowHeight = 20;
constexpr int kTitleHeight = 18;
constexpr int kTimeColumns[] = {1, 2, 3, 4, 5, 6};

// A sector written repaints a row of cells, and a new best time every cell of a time column. The style
// would lay each cell's text out anew through the style sheet at every paint; the cells are filled and
// their figures drawn glyph by glyph instead, in the colours the style uses. The view has drawn the row's
// base, alternate tint included, before.
class LapCellDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QString text = index.data(Qt::DisplayRole).toString();
    QPalette::ColorGroup group = QPalette::Disabled;
    if (option.state & QStyle::State_Enabled) {
      group = option.state & QStyle::State_Active ? QPalette::Normal : QPalette::Inactive;
    }
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    QColor ink = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    if (selected) {
      painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    } else {
      if (const QVariant background = index.data(Qt::BackgroundRole); background.canConvert<QColor>()) {
        painter->fillRect(option.rect, background.value<QColor>());
      }
      if (const QVariant foreground = index.data(Qt::ForegroundRole); foreground.canConvert<QColor>()) {
        ink = foreground.value<QColor>();
      }
    }
    if (!text.isEmpty()) {
      painter->save();
      // A text wider than its column stays in its cell, as the style's cut-off text would.
      painter->setClipRect(option.rect, Qt::IntersectClip);
      painter->setPen(ink);
      const int margin = ItemTextMargin(option.widget);
      characters_.Draw(*painter, QRectF(option.rect.adjusted(margin, 0, -margin, 0)), option.font, text,
                       index.data(Qt::TextAlignmentRole).value<Qt::Alignment>());
      painter->restore();
    }
    if (option.state & QStyle::State_HasFocus) {
      QStyleOptionFocusRect focus;
      focus.QStyleOption::operator=(option);
      focus.state |= QStyle::State_KeyboardFocusChange;
      focus.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
      ItemViewStyle(option.widget)->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
  }

 private:
  mutable CharacterRun characters_;
};

}  // namespace

LapGridModel::LapGridModel(TLapTable& table, const TTemps& temps, QObject* parent)
    : QAbstractTableModel(parent), table_(&table), temps_(&temps) {
  table_->AddListener(this);
}

LapGridModel::~LapGridModel() {
  table_->RemoveListener(this);
}

int LapGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_->Rows().size());
}

int LapGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kLapColumnCount);
}

QVariant LapGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
    return {};
  }
  const TLapColumn& column = table_->Columns()[static_cast<std::size_t>(index.column())];
  const TLapRow& row = table_->Rows()[static_cast<std::size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(LapCellText(row, column.field));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(
          Qt::AlignVCenter | (column.alignment == TLapAlignment::Centre ? Qt::AlignHCenter : Qt::AlignRight));
    case Qt::BackgroundRole:
      if (const auto color = temps_->CellColor(column.field, LapCellText(row, column.field))) {
        return QColor(color->red, color->green, color->blue);
      }
      return {};
    case Qt::ForegroundRole:
      // A highlighted cell is light whatever the palette, so its text stays dark.
      if (temps_->CellColor(column.field, LapCellText(row, column.field))) {
        return QColor(Qt::black);
      }
      return {};
    default:
      return {};
  }
}

QVariant LapGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  const TLapColumn& column = table_->Columns()[static_cast<std::size_t>(section)];
  if (role == Qt::DisplayRole) {
    return Utf8Text(column.title);
  }
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(Qt::AlignCenter);
  }
  return {};
}

// The table has already changed when it tells us; nothing reads the model between the two calls.
void LapGridModel::RowsCleared() {
  beginResetModel();
  endResetModel();
}

void LapGridModel::RowAppended(std::size_t row) {
  beginInsertRows({}, static_cast<int>(row), static_cast<int>(row));
  endInsertRows();
}

void LapGridModel::CellsChanged(std::size_t row, TLapField first, TLapField last) {
  const auto& columns = table_->Columns();
  for (std::size_t column = 0; column < columns.size(); ++column) {
    const TLapField field = columns[column].field;
    if (field >= first && field <= last) {
      const QModelIndex cell = index(static_cast<int>(row), static_cast<int>(column));
      Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole, Qt::BackgroundRole, Qt::ForegroundRole});
    }
  }
}

void LapGridModel::CurrentRowChanged(std::size_t row) {
  if (on_current_row_changed) {
    on_current_row_changed(static_cast<int>(row));
  }
}

void LapGridModel::ColumnsChanged() {
  Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
  if (on_columns_changed) {
    on_columns_changed();
  }
}

void LapGridModel::HighlightsChanged() {
  if (rowCount() == 0) {
    return;
  }
  const int last_row = rowCount() - 1;
  for (int column : kTimeColumns) {
    Q_EMIT dataChanged(index(0, column), index(last_row, column), {Qt::BackgroundRole, Qt::ForegroundRole});
  }
}

LapGridView::LapGridView(TLapTable& table, const TTemps& temps, QWidget* parent)
    : QTableView(parent), table_(&table), model_(new LapGridModel(table, temps, this)) {
  setObjectName(QStringLiteral("grd_time"));
  setModel(model_);
  setItemDelegate(new LapCellDelegate(this));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setAlternatingRowColors(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setWordWrap(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  // The style's minimum would make the rows taller than the grid is designed for.
  verticalHeader()->setMinimumSectionSize(kRowHeight);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  horizontalHeader()->setFixedHeight(kTitleHeight);
  horizontalHeader()->setHighlightSections(false);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  font.setBold(false);
  setFont(font);
  QFont title_font = font;
  title_font.setPixelSize(11);
  horizontalHeader()->setFont(title_font);
  setStyleSheet(
      QStringLiteral("QTableView { background: white; alternate-background-color: #eef3f8; color: "
                     "black; gridline-color: #c8c8c8; }"));
  model_->on_columns_changed = [this] { ApplyColumns(); };
  model_->on_current_row_changed = [this](int row) { setCurrentIndex(model_->index(row, 0)); };
  ApplyColumns();
}

int LapGridView::ClientWidth() const {
  return viewport()->width();
}

void LapGridView::ApplyColumns() {
  const auto& columns = table_->Columns();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const int section = static_cast<int>(i);
    setColumnHidden(section, !columns[i].visible);
    if (columns[i].width > 0) {
      TProportionalScaler::SetShownColumnWidth(*this, section, columns[i].width);
    }
  }
}

}  // namespace velmora::app

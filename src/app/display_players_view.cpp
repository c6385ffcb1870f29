#include "app/display_players_view.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QStaticText>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QSvgRenderer>
#include <algorithm>
#include <array>

#include "app/character_run.h"
#include "app/item_view_style.h"
#include "app/utf8_text.h"

namespace velmora::app {
namespace {

QPixmap Picture(const QString& path) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  QSvgRenderer(path).render(&painter);
  return pixmap;
}

// The list's cells change at every refresh. Position and time are short texts drawn glyph by glyph;
// a name is cut to its room and laid out once, while it, the room and the font stay. The picture and the
// margins are placed as the style places them.
class DriverCellDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    painter->save();
    // The font is taller than a row: a name's descenders would reach into the cell below, which is not
    // drawn again unless it changes.
    painter->setClipRect(option.rect, Qt::IntersectClip);
    painter->setPen(option.palette.color(QPalette::Text));
    if (index.column() == 1) {
      PaintName(*painter, option, index);
    } else {
      const int margin = ItemTextMargin(option.widget);
      characters_.Draw(*painter, QRectF(option.rect.adjusted(margin, 0, -margin, 0)), option.font,
                       index.data(Qt::DisplayRole).toString(),
                       index.data(Qt::TextAlignmentRole).value<Qt::Alignment>());
    }
    painter->restore();
  }

 private:
  struct LaidName {
    QStaticText text;
    int height = 0;
  };

  void PaintName(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const int margin = ItemTextMargin(option.widget);
    const QRect& cell = option.rect;
    int text_left = cell.left();
    const QVariant picture = index.data(Qt::DecorationRole);
    if (picture.canConvert<QPixmap>()) {
      const QSize size = option.decorationSize;
      const QRect place(cell.left() + margin, cell.top() + (cell.height() - size.height()) / 2, size.width(),
                        size.height());
      painter.drawPixmap(place, qvariant_cast<QPixmap>(picture));
      text_left += size.width() + 2 * margin;
    }
    const QRect room(text_left + margin, cell.top(), cell.right() - margin - text_left - margin + 1,
                     cell.height());
    if (room.width() <= 0) {
      return;
    }
    // Kept by name: drivers change places in the list far more often than the field changes.
    if (room.width() != laid_width_ || option.font != laid_font_ ||
        laid_names_.size() > 2 * TDisplayPlayers::kRows) {
      laid_names_.clear();
      laid_width_ = room.width();
      laid_font_ = option.font;
    }
    const QString name = index.data(Qt::DisplayRole).toString();
    auto laid = laid_names_.find(name);
    if (laid == laid_names_.end()) {
      const QFontMetrics metrics(option.font);
      LaidName fresh{QStaticText(metrics.elidedText(name, Qt::ElideRight, room.width())), metrics.height()};
      fresh.text.setTextFormat(Qt::PlainText);
      fresh.text.prepare(QTransform(), option.font);
      laid = laid_names_.insert(name, fresh);
    }
    painter.setFont(option.font);
    painter.drawStaticText(QPointF(room.left(), room.top() + (room.height() - laid->height) / 2), laid->text);
  }

  mutable CharacterRun characters_;
  mutable QHash<QString, LaidName> laid_names_;
  mutable int laid_width_ = -1;
  mutable QFont laid_font_;
};

}  // namespace

DriverListModel::DriverListModel(QObject* parent)
    : QAbstractTableModel(parent),
      row_pictures_{Picture(QStringLiteral(":/assets/player_in_pits.svg")),
                    Picture(QStringLiteral(":/assets/player_on_track.svg"))},
      name_picture_(Picture(QStringLiteral(":/assets/header_name.svg"))) {}

void DriverListModel::Reset(const TDisplayPlayers* list) {
  beginResetModel();
  list_ = list;
  for (int row = 0; row < TDisplayPlayers::kRows; ++row) {
    TakeRow(row);
  }
  endResetModel();
}

unsigned DriverListModel::TakeRow(int row) {
  ShownRow& shown = shown_[static_cast<std::size_t>(row)];
  if (list_ == nullptr) {
    shown = {};
    return 0;
  }
  const TDataDisplayPlayer& data = list_->NodeList()[static_cast<std::size_t>(row)].Data;
  unsigned changed = 0;
  for (int column = 0; column < 3; ++column) {
    std::string text = TDisplayPlayers::CellText(data, column);
    std::string& was = shown.texts[static_cast<std::size_t>(column)];
    if (text != was) {
      was = std::move(text);
      changed |= 1u << column;
    }
  }
  const int picture = TDisplayPlayers::RowImage(data);
  if (picture != shown.picture) {
    shown.picture = picture;
    changed |= 1u << 1;
  }
  return changed;
}

void DriverListModel::SetTimeTitle(const QString& title) {
  if (title != time_title_) {
    time_title_ = title;
    emit headerDataChanged(Qt::Horizontal, 2, 2);
  }
}

void DriverListModel::RowChanged(int row) {
  // One cell at a time: the view repaints a single changed cell alone, but the whole list for a range.
  const unsigned changed = TakeRow(row);
  for (int column = 0; column < 3; ++column) {
    if ((changed & (1u << column)) != 0) {
      const QModelIndex cell = index(row, column);
      emit dataChanged(cell, cell);
    }
  }
}

int DriverListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || list_ == nullptr ? 0 : TDisplayPlayers::kRows;
}

int DriverListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 3;
}

void DriverListModel::SetRowHeight(int height) {
  if (height == row_height_) {
    return;
  }
  row_height_ = height;
  emit layoutChanged();
}

QVariant DriverListModel::data(const QModelIndex& index, int role) const {
  if (role == Qt::SizeHintRole && row_height_ > 0) {
    return QSize(-1, row_height_);
  }
  if (list_ == nullptr || !index.isValid()) {
    return {};
  }
  const TDataDisplayPlayer& row = list_->NodeList()[static_cast<std::size_t>(index.row())].Data;
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(TDisplayPlayers::CellText(row, index.column()));
    case Qt::DecorationRole:
      if (index.column() == 1) {
        const int picture = TDisplayPlayers::RowImage(row);
        if (picture >= 0) {
          return row_pictures_[static_cast<std::size_t>(picture)];
        }
      }
      return {};
    case Qt::TextAlignmentRole: {
      static constexpr Qt::Alignment kAlign[] = {Qt::AlignCenter, Qt::AlignLeft | Qt::AlignVCenter,
                                                 Qt::AlignRight | Qt::AlignVCenter};
      return QVariant::fromValue(kAlign[index.column()]);
    }
    default:
      return {};
  }
}

QVariant DriverListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) {
    return {};
  }
  if (role == Qt::DisplayRole) {
    return section == 1 ? QStringLiteral("Name") : section == 2 ? time_title_ : QString();
  }
  if (role == Qt::DecorationRole && section == 1) {
    return name_picture_;
  }
  if (role == Qt::TextAlignmentRole && section == 2) {
    return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
  }
  return {};
}

DriverListView::DriverListView(QWidget* parent) : QTreeView(parent), model_(this) {
  setObjectName(QStringLiteral("DisplayPlayersView"));
  setModel(&model_);
  setItemDelegate(new DriverCellDelegate(this));
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setItemsExpandable(false);
  setSelectionMode(QAbstractItemView::NoSelection);
  setFocusPolicy(Qt::NoFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setIconSize(QSize(16, 16));
  QFont list_font(QStringLiteral("Arial"));
  list_font.setPointSize(11);
  list_font.setBold(false);
  setFont(list_font);
  model_.SetRowHeight(QFontInfo(font()).pixelSize() + 2);
  QPalette colours = palette();
  colours.setColor(QPalette::Base, Qt::black);
  colours.setColor(QPalette::Text, Qt::white);
  colours.setColor(QPalette::Window, Qt::black);
  colours.setColor(QPalette::WindowText, Qt::white);
  colours.setColor(QPalette::Button, Qt::black);
  colours.setColor(QPalette::ButtonText, Qt::white);
  setPalette(colours);
  header()->setFixedHeight(kHeaderHeight);
  header()->setStretchLastSection(false);
  header()->setSectionsMovable(false);
  header()->setSectionResizeMode(QHeaderView::Fixed);
  header()->setMinimumSectionSize(1);
  // Digits share one width in the list's font, so these stand for every gap, missing time and lap time.
  // A scaled font rounds each glyph's advance, so a text may grow faster than the column: a tenth and two
  // pixels more leave room for that at every window size.
  int needed = 0;
  for (const char* text : {"-0:01.000", "--:--.---", "1:59.999"}) {
    needed = std::max(needed, TimeTextWidth(QString::fromLatin1(text)));
  }
  needed += needed / 10 + 2;
  time_width_ = std::clamp(needed, kTimeWidth, kNameAndTimeWidth / 2);
  name_width_ = kNameAndTimeWidth - time_width_;
  setColumnWidth(0, kPositionWidth);
  setColumnWidth(1, name_width_);
  setColumnWidth(2, time_width_);
}

int DriverListView::TimeTextWidth(const QString& text) const {
  return QFontMetrics(font()).horizontalAdvance(text) + 2 * ItemTextMargin(this);
}

void DriverListView::RowsReset(const TDisplayPlayers& list) {
  list_ = &list;
  // A model reset forgets the widths; the ones shown, which follow the window's scale, are put back.
  const std::array<int, 3> widths{columnWidth(0), columnWidth(1), columnWidth(2)};
  model_.Reset(&list);
  for (int row = 0; row < TDisplayPlayers::kRows; ++row) {
    setRowHidden(row, QModelIndex(), true);
  }
  for (int column = 0; column < 3; ++column) {
    setColumnWidth(column, widths[static_cast<std::size_t>(column)]);
  }
}

void DriverListView::SetTimeColumnTitle(std::string_view title) {
  model_.SetTimeTitle(Utf8Text(title));
}

void DriverListView::RowChanged(int row) {
  const bool shown = list_->NodeList()[static_cast<std::size_t>(row)].Visible;
  if (isRowHidden(row, QModelIndex()) == shown) {
    setRowHidden(row, QModelIndex(), !shown);
  }
  model_.RowChanged(row);
}

QString DriverListView::Text(int row, int column) const {
  return model_.data(model_.index(row, column), Qt::DisplayRole).toString();
}

bool DriverListView::RowShown(int row) const {
  return model_.rowCount() > row && !isRowHidden(row, QModelIndex());
}

int DriverListView::RowPicture(int row) const {
  return list_ == nullptr ? -1
                          : TDisplayPlayers::RowImage(list_->NodeList()[static_cast<std::size_t>(row)].Data);
}

QString DriverListView::TimeTitle() const {
  return model_.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString();
}

void DriverListView::changeEvent(QEvent* event) {
  // The window's scaling changes the font; the rows follow its height.
  if (event->type() == QEvent::FontChange) {
    model_.SetRowHeight(QFontInfo(font()).pixelSize() + 2);
  }
  QTreeView::changeEvent(event);
}

void DriverListView::paintEvent(QPaintEvent* event) {
  // The tree's own drawing asks the X server where the pointer is, a round trip at every paint, and draws
  // every cell of a row that changed. The list has no branches, selection or hover to show, so only the
  // cells in the region are drawn.
  QPainter painter(viewport());
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  const QRegion& region = event->region();
  const QRect shown = viewport()->rect();
  for (int row = 0; row < model_.rowCount(); ++row) {
    if (isRowHidden(row, QModelIndex())) {
      continue;
    }
    QRect row_area;
    for (int column = 0; column < model_.columnCount(); ++column) {
      const QModelIndex cell = model_.index(row, column);
      const QRect area = visualRect(cell);
      row_area |= area;
      if (region.intersects(area)) {
        option.rect = area;
        itemDelegateForIndex(cell)->paint(&painter, option, cell);
      }
    }
    if (row_area.top() > shown.bottom()) {
      break;
    }
    // Horizontal grid lines between the rows.
    if (region.intersects(row_area)) {
      painter.setPen(QColor(64, 64, 64));
      painter.drawLine(row_area.bottomLeft(), row_area.bottomRight());
    }
  }
}

}  // namespace velmora::app

#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QTreeView>
#include <array>
#include <string>

#include "race/display_players.h"

namespace velmora::app {

// The rows of the driver list as a table model: position, name with the pit picture, time or gap.
class DriverListModel final : public QAbstractTableModel {
 public:
  explicit DriverListModel(QObject* parent);

  void Reset(const TDisplayPlayers* list);
  void SetTimeTitle(const QString& title);
  void RowChanged(int row);
  // Every row is this many pixels high.
  void SetRowHeight(int height);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  struct ShownRow {
    std::array<std::string, 3> texts;
    int picture = -1;
  };
  // Takes a row's cells as the list now has them; a bit per column whose cell differs from before.
  unsigned TakeRow(int row);

  const TDisplayPlayers* list_ = nullptr;
  // What each cell showed when it was last told of, so that a changed row repaints only its changed cells.
  std::array<ShownRow, TDisplayPlayers::kRows> shown_;
  QString time_title_ = QStringLiteral("Time");
  std::array<QPixmap, 2> row_pictures_;  // in the pits, on track
  QPixmap name_picture_;
  int row_height_ = 0;
};

// `DisplayPlayersView`: the three-column driver list of the side column.
class DriverListView final : public QTreeView, public PlayerListTarget {
 public:
  static constexpr int kPositionWidth = 28;
  // The name and time columns share these pixels; the time has at least its design width and takes
  // what more its widest text needs from the name.
  static constexpr int kNameAndTimeWidth = 178;
  static constexpr int kTimeWidth = 66;
  static constexpr int kHeaderHeight = 17;

  explicit DriverListView(QWidget* parent);

  // The widths at design size.
  int DesignNameWidth() const { return name_width_; }
  int DesignTimeWidth() const { return time_width_; }
  // The pixels a time text needs in the time column at the current font, margins included.
  int TimeTextWidth(const QString& text) const;

  void RowsReset(const TDisplayPlayers& list) override;
  void SetTimeColumnTitle(std::string_view title) override;
  void RowChanged(int row) override;

  // What a row shows, for tests and screenshots: its three texts and whether the pit picture is on.
  QString Text(int row, int column) const;
  bool RowShown(int row) const;
  int RowPicture(int row) const;
  QString TimeTitle() const;

 protected:
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  DriverListModel model_;
  const TDisplayPlayers* list_ = nullptr;
  int name_width_ = 0;
  int time_width_ = 0;
};

}  // namespace velmora::app

#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QTreeView>
#include <array>

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
  const TDisplayPlayers* list_ = nullptr;
  QString time_title_ = QStringLiteral("Time");
  std::array<QPixmap, 2> row_pictures_;  // in the pits, on track
  QPixmap name_picture_;
  int row_height_ = 0;
};

// `DisplayPlayersView`: the three-column driver list of the side column.
class DriverListView final : public QTreeView, public PlayerListTarget {
 public:
  static constexpr int kPositionWidth = 28;
  static constexpr int kNameWidth = 112;
  static constexpr int kTimeWidth = 66;
  static constexpr int kHeaderHeight = 17;

  explicit DriverListView(QWidget* parent);

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
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

 private:
  DriverListModel model_;
  const TDisplayPlayers* list_ = nullptr;
};

}  // namespace velmora::app

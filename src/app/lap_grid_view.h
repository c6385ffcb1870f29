#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <functional>

#include "race/lap_table.h"
#include "race/lap_values.h"

namespace velmora::app {

// The lap table as a Qt model: the grid's ten columns, cell texts, alignment and the best-time colour.
// It follows the table's notices, so a cell is repainted only when its value changed.
class LapGridModel final : public QAbstractTableModel, public LapTableListener {
 public:
  // Both must outlive the model.
  LapGridModel(TLapTable& table, const TTemps& temps, QObject* parent);
  ~LapGridModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Where the view hears of what is not a cell: the column set and the row to show.
  std::function<void()> on_columns_changed;
  std::function<void(int)> on_current_row_changed;

 private:
  void RowsCleared() override;
  void RowAppended(std::size_t row) override;
  void CellsChanged(std::size_t row, TLapField first, TLapField last) override;
  void CurrentRowChanged(std::size_t row) override;
  void ColumnsChanged() override;
  void HighlightsChanged() override;

  TLapTable* table_;
  const TTemps* temps_;
};

// The lap grid `grd_time`: read only, whole rows selected, alternate rows tinted.
class LapGridView final : public QTableView, public LapGridTarget {
 public:
  LapGridView(TLapTable& table, const TTemps& temps, QWidget* parent);

  int ClientWidth() const override;
  LapGridModel& Model() { return *model_; }

 private:
  void ApplyColumns();

  TLapTable* table_;
  LapGridModel* model_;
};

}  // namespace velmora::app

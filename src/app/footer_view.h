#pragma once

#include <QAbstractTableModel>
#include <QTableView>

#include "race/footer_information.h"

namespace velmora::app {

// The summary row as a Qt model: one row of six columns whose texts and colours come from the core.
class FooterModel final : public QAbstractTableModel {
 public:
  // `footer` must outlive the model.
  FooterModel(TFooterInformation& footer, QObject* parent);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Empties the row and builds it anew.
  void Reset();

 private:
  TFooterInformation* footer_;
};

// The summary strip `FooterInformation` under the lap grid.
class FooterView final : public QTableView, public FooterTarget {
 public:
  static constexpr int kHeaderHeight = 17;

  FooterView(TFooterInformation& footer, QWidget* parent);

  void RepaintRow() override;
  FooterModel& Model() { return *model_; }
  // The widget's single row: removes what it held and makes it again, empty.
  void CreateNodeFooter();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  FooterModel* model_;
};

}  // namespace velmora::app

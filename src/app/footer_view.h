#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <array>

#include "app/character_run.h"
#include "race/footer_information.h"

namespace velmora::app {

// The summary strip `FooterInformation` under the lap grid: a title row and the single row of six cells
// whose texts and colours the core keeps. The column widths scale with the widget's width.
class FooterView final : public QWidget, public FooterTarget {
 public:
  static constexpr int kHeaderHeight = 17;

  // `footer` must outlive the view.
  FooterView(TFooterInformation& footer, QWidget* parent);

  void RepaintRow() override;
  // The widget's single row: what it held is removed and it is made again, empty.
  void CreateNodeFooter();

  // What a cell shows, as the row is drawn: asking the laps-left text moves its blink on.
  QString CellText(int column) const;
  QColor CellColor(int column) const;
  static QString Title(int column);
  // Left edge and width of a column at the widget's present width.
  QRect CellRect(int column) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct ShownCell {
    QString text;
    QColor color;
  };
  // Takes the cell's text and colour from the core; true when they differ from what is drawn.
  bool TakeCell(int column);
  void TakeAllCells();

  TFooterInformation* footer_;
  CharacterRun cell_characters_;
  // What is drawn, so that a repaint of the row redraws only the cells that changed.
  std::array<ShownCell, TFooterInformation::kColumnCount> shown_;
};

}  // namespace velmora::app

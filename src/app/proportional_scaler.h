#pragma once

#include <QAbstractItemView>
#include <QRect>
#include <QWidget>

namespace velmora::app {

// Scales a fixed-layout widget tree as a whole: positions, sizes and fonts of the root and everything in
// it, and the column widths of its item views, from their design values. Each widget's design values are
// taken when the scaler first meets it, so scaling back to 1 restores the design exactly and repeated
// scaling never accumulates rounding.
class TProportionalScaler final {
 public:
  explicit TProportionalScaler(QWidget& root) : root_(root) {}

  double Scale() const { return scale_; }
  // Scales every widget under the root to `scale` times its design values; item view columns to their
  // design width times `column_factor`, truncated.
  void ScaleTo(double scale, double column_factor);
  // Gives a widget new design geometry (the layout logic moves and resizes panels in design units) and
  // places it at the current scale.
  void SetDesignGeometry(QWidget& widget, const QRect& design);
  QRect DesignGeometry(QWidget& widget);

  // Gives an item view's column a width chosen at the current scale (a column layout computed from the
  // shown width); the column keeps it in proportion at every later scale.
  static void SetShownColumnWidth(QAbstractItemView& view, int column, int width);

  // The ratio applied for a fit factor: six decimals, truncated, so that the same window size always
  // gives the same layout.
  static double TruncatedRatio(double factor);

 private:
  void Scale(QWidget& widget, bool is_root);

  QWidget& root_;
  double scale_ = 1.0;
  double column_factor_ = 1.0;
};

}  // namespace velmora::app

#pragma once

#include <QApplication>
#include <QStyle>
#include <QWidget>

namespace velmora::app {

// The style an item view cell is drawn in: the view's own, or the application's without a view.
inline const QStyle* ItemViewStyle(const QWidget* view) {
  return view != nullptr ? view->style() : QApplication::style();
}

// The margin the style leaves either side of an item view cell's text; column widths allow for it.
inline int ItemTextMargin(const QWidget* view) {
  return ItemViewStyle(view)->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
}

}  // namespace velmora::app

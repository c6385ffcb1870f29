#pragma once

#include <QApplication>
#include <QStyle>
#include <QWidget>

namespace velmora::app {

// The margin the style leaves either side of an item view cell's text; column widths allow for it.
inline int ItemTextMargin(const QWidget* view) {
  const QStyle* style = view != nullptr ? view->style() : QApplication::style();
  return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
}

}  // namespace velmora::app

#pragma once

#include <QWidget>

#include "app/display_widgets.h"

namespace velmora::app {

// The debug window: one label that shows the surface speed of the last wheel of each read cycle.
class TForm2 final : public QWidget {
 public:
  explicit TForm2(QWidget* parent = nullptr);

  LabelWidget* lbl1;
};

}  // namespace velmora::app

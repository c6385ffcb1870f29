#pragma once

#include <QWidget>

#include "app/display_widgets.h"

namespace velmora {
class TSessionGTR;
}

namespace velmora::app {

// The session's two labels: its kind on the left and, right-aligned, the time left or the laps of a
// race. They belong in the side column's "Session" panel.
class SessionPanel final : public QWidget {
 public:
  static constexpr int kWidth = 200;
  static constexpr int kHeight = 40;

  explicit SessionPanel(QWidget* parent);
  void Bind(TSessionGTR& session);

  LabelWidget* lbl_SessionGTR;
  LabelWidget* lbl_TempsSession;
};

}  // namespace velmora::app

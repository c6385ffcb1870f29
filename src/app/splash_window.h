#pragma once

#include <QDialog>
#include <QSvgRenderer>
#include <QTimer>

namespace velmora::app {

// The splash window: a borderless picture shown while the main window first appears; it closes itself
// two seconds after it is shown.
class TForm3 final : public QDialog {
 public:
  static constexpr int kShowMs = 2000;

  explicit TForm3(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QTimer Timer1;
  QSvgRenderer picture_;
};

}  // namespace velmora::app

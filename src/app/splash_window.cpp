#include "app/splash_window.h"

#include <QPainter>

namespace velmora::app {

TForm3::TForm3(QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      picture_(QStringLiteral(":/assets/splash.svg")) {
  setObjectName(QStringLiteral("Form3"));
  setFixedSize(800, 600);
  setModal(true);
  Timer1.setSingleShot(true);
  Timer1.setInterval(kShowMs);
  connect(&Timer1, &QTimer::timeout, this, &QDialog::accept);
}

void TForm3::showEvent(QShowEvent* event) {
  if (parentWidget() != nullptr) {
    move(parentWidget()->frameGeometry().center() - rect().center());
  }
  Timer1.start();
  QDialog::showEvent(event);
}

void TForm3::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  picture_.render(&painter, rect());
}

}  // namespace velmora::app

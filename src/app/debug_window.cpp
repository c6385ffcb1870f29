#include "app/debug_window.h"

#include <QVBoxLayout>

namespace velmora::app {

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Debug"));
  lbl1 = new LabelWidget(QStringLiteral("lbl1"), this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lbl1);
  layout->addStretch();
  resize(200, 554);
}

}  // namespace velmora::app

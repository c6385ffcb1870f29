// The gear's label keeps a picture of each text it has shown; what it draws must stay what a plain label
// draws, also after the window's scaling gave it another font and size.
#include <QImage>
#include <QLabel>
#include <QWidget>
#include <string>

#include <gtest/gtest.h>

#include "app/display_widgets.h"
#include "picture_difference.h"

namespace velmora::app {
namespace {

TEST(LargeTextLabelTest, DrawsWhatAPlainLabelDrawsThroughTextFontAndSizeChanges) {
  QWidget window;
  QPalette colours = window.palette();
  colours.setColor(QPalette::Window, Qt::black);
  colours.setColor(QPalette::WindowText, Qt::white);
  window.setPalette(colours);
  window.setAutoFillBackground(true);
  LargeTextLabel large(QStringLiteral("lbl_rapport_vitesse"), &window);
  QLabel plain(&window);
  struct Step {
    const char* text;
    int pixels;
    QSize size;
  };
  // "N" comes back from its picture; then the window is scaled up and every picture must be drawn anew.
  for (const Step& step : {Step{"N", 72, {80, 94}}, Step{"3", 72, {80, 94}}, Step{"N", 72, {80, 94}},
                           Step{"N", 90, {100, 118}}, Step{"R", 90, {100, 118}}, Step{"3", 54, {60, 70}}}) {
    SCOPED_TRACE(std::string(step.text) + " at " + std::to_string(step.pixels) + " px");
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(step.pixels);
    font.setBold(true);
    for (QLabel* label : {static_cast<QLabel*>(&large), &plain}) {
      label->setAlignment(Qt::AlignCenter);
      label->setFont(font);
      label->setFixedSize(step.size);
    }
    large.SetText(step.text);
    plain.setText(QString::fromUtf8(step.text));
    const QImage drawn = large.grab().toImage();
    const QImage expected = plain.grab().toImage();
    ASSERT_EQ(drawn.size(), expected.size());
    EXPECT_LE(test::LargestDifference(drawn, expected), 16);
  }
}

}  // namespace
}  // namespace velmora::app

// A bar gauge draws again only the band between its old and new levels and its figures: what the window
// shows after a move must be what a gauge drawn whole at the new position shows.
#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/display_widgets.h"

namespace velmora::app {
namespace {

// The pixels a widget was last asked to paint.
class PaintedArea final : public QObject {
 public:
  explicit PaintedArea(QWidget& widget) { widget.installEventFilter(this); }
  int pixels = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      pixels = 0;
      for (const QRect& rect : static_cast<QPaintEvent*>(event)->region()) {
        pixels += rect.width() * rect.height();
      }
    }
    return false;
  }
};

TEST(BarGaugeTest, AMovedBarLooksAsOneDrawnWholeAtItsNewPosition) {
  struct Case {
    Qt::Orientation orientation;
    QSize size;
    int from;
    int to;
  };
  for (const Case& c : {Case{Qt::Vertical, {40, 158}, 20, 75}, Case{Qt::Vertical, {40, 158}, 75, 20},
                        Case{Qt::Vertical, {40, 158}, 0, 100}, Case{Qt::Vertical, {40, 158}, 100, 7},
                        Case{Qt::Horizontal, {101, 16}, 40, 41}, Case{Qt::Horizontal, {101, 16}, 90, 3}}) {
    SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
    QWidget window;
    BarGauge moved(QStringLiteral("moved"), c.orientation, QColor(0, 200, 0), &window);
    BarGauge whole(QStringLiteral("whole"), c.orientation, QColor(0, 200, 0), &window);
    moved.setGeometry(QRect(QPoint(0, 0), c.size));
    whole.setGeometry(QRect(QPoint(c.size.width() + 10, 0), c.size));
    moved.SetPosition(c.from);
    window.resize(2 * c.size.width() + 10, c.size.height());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::processEvents();

    const PaintedArea painted(moved);
    moved.SetPosition(c.to);
    whole.SetPosition(c.to);
    whole.repaint();  // drawn whole, while the moved one's update waits for the event loop
    QApplication::processEvents();

    const QImage shown = window.screen()->grabWindow(window.winId()).toImage();
    const QImage after_move = shown.copy(moved.geometry());
    const QImage drawn_whole = shown.copy(whole.geometry());
    EXPECT_EQ(after_move, drawn_whole);
    EXPECT_EQ(moved.Value(), c.to);
    EXPECT_GT(painted.pixels, 0);
    EXPECT_LT(painted.pixels, c.size.width() * c.size.height());
  }
}

}  // namespace
}  // namespace velmora::app

// The race state on the dashboard: laps driven through the stand-in's commands fill the lap grid and the
// summary row, and the session labels show the stand-in's session.
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <cstdlib>
#include <functional>
#include <set>

#include <gtest/gtest.h>

#include "app/footer_view.h"
#include "app/main_window.h"
#include "four_laps.h"
#include "platform/window_finder.h"
#include "running_sim.h"
#include "save_as_answer.h"
#include "within.h"
#include "x11_test_window.h"

namespace velmora::app {
namespace {

using enum test::LapGridColumn;

class RaceViewsTest : public test::X11DisplayTest {
 protected:
  static QString Text(QAbstractItemModel& model, int row, int column) {
    return model.data(model.index(row, column)).toString();
  }
  static QColor Background(QAbstractItemModel& model, int row, int column) {
    // The text first, as a view draws it: asking the laps-left text moves its blink on.
    model.data(model.index(row, column));
    return model.data(model.index(row, column), Qt::BackgroundRole).value<QColor>();
  }

  // The grid draws its cells itself: each cell's colour, and its figures where the style's own drawing
  // puts them, for plain, alternate, best-time and selected rows.
  static void ExpectCellsAsTheStyleDrawsThem(QTableView& view) {
    const QImage drawn = view.viewport()->grab().toImage();
    QAbstractItemDelegate* own = view.itemDelegate();
    view.setItemDelegate(new QStyledItemDelegate(&view));
    const QImage by_style = view.viewport()->grab().toImage();
    view.setItemDelegate(own);
    const QAbstractItemModel& model = *view.model();
    for (int row = 0; row < model.rowCount(); ++row) {
      for (int column = 0; column < model.columnCount(); ++column) {
        if (view.isColumnHidden(column)) {
          continue;
        }
        SCOPED_TRACE("row " + std::to_string(row) + ", column " + std::to_string(column));
        // Inside the grid lines and any focus frame.
        const QRect cell = view.visualRect(model.index(row, column)).adjusted(2, 2, -3, -3);
        const QRgb background = by_style.pixel(cell.topLeft());
        EXPECT_EQ(QColor(drawn.pixel(cell.topLeft())), QColor(background));
        const auto ink = [&](const QImage& image) {
          QRect found;
          for (int y = cell.top(); y <= cell.bottom(); ++y) {
            for (int x = cell.left(); x <= cell.right(); ++x) {
              if (image.pixel(x, y) != background) {
                found |= QRect(x, y, 1, 1);
              }
            }
          }
          return found;
        };
        const QRect expected = ink(by_style);
        const QRect found = ink(drawn);
        EXPECT_EQ(found.isEmpty(), expected.isEmpty());
        if (!expected.isEmpty() && !found.isEmpty()) {
          for (const auto& [edge, expected_edge] : {std::pair{found.left(), expected.left()},
                                                    {found.right(), expected.right()},
                                                    {found.top(), expected.top()},
                                                    {found.bottom(), expected.bottom()}}) {
            EXPECT_LE(std::abs(edge - expected_edge), 1);
          }
        }
      }
    }
  }

  void Ask(const std::string& command) { ASSERT_EQ(sim.Ask(command), "ok") << command; }

  test::RunningSim sim;
  QAbstractItemModel* grid = nullptr;
};

// The dashboard started two laps into a race, halfway round the third: the lap in progress fills one row
// under its own number, and no row 1 appears. (Attaching at the start gives the rows of the test below.)
TEST_F(RaceViewsTest, AttachingMidRaceFilesTheLapInProgressUnderItsNumber) {
  for (const char* command :
       {"pause", "session 1 1800 -1", "set FInCokpit 1", "set FFuel 40", "set FVitesse 40", "sector 1 40.25",
        "sector 2 81.5", "line 121.125", "sector 1 30.5", "sector 2 62.75", "line 93.5", "sector 1 29.25",
        "sector 2 58.5"}) {
    Ask(command);
  }
  TForm1 window(platform::CreateWindowFinder());
  window.show();
  window.activateWindow();
  auto* view = window.findChild<QTableView*>(QStringLiteral("grd_time"));
  ASSERT_NE(view, nullptr);
  grid = view->model();
  ASSERT_TRUE(test::Within(8000, [&] { return grid->rowCount() > 0; }));
  EXPECT_EQ(Text(*grid, 0, kLap), "3");
  EXPECT_EQ(Text(*grid, 0, kInt1), "0:29.250");
  EXPECT_EQ(Text(*grid, 0, kInt2), "0:58.500");

  Ask("line 87.75");
  ASSERT_TRUE(test::Within(4000, [&] { return Text(*grid, 0, kFinal) == "1:27.750"; }))
      << Text(*grid, 0, kFinal).toStdString();
  EXPECT_EQ(grid->rowCount(), 1);
  EXPECT_EQ(Text(*grid, 0, kLap), "3");
  EXPECT_EQ(Text(*grid, 0, kInt1), "0:29.250");
}

TEST_F(RaceViewsTest, LapsFuelAndSessionFromTheStandIn) {
  for (const char* command :
       {"pause", "session 3 1800 -1", "set FInCokpit 1", "set FFuel 40", "set FVitesse 45"}) {
    Ask(command);
  }
  TForm1 window(platform::CreateWindowFinder());
  window.show();
  window.activateWindow();
  auto* view = window.findChild<QTableView*>(QStringLiteral("grd_time"));
  auto* footer = window.findChild<FooterView*>(QStringLiteral("FooterInformation"));
  auto* session_name = window.findChild<QLabel*>(QStringLiteral("lbl_SessionGTR"));
  auto* session_time = window.findChild<QLabel*>(QStringLiteral("lbl_TempsSession"));
  ASSERT_TRUE(view && footer && session_name && session_time);
  grid = view->model();

  ASSERT_TRUE(test::Within(8000, [&] { return session_name->text() == "Qualifying"; }))
      << session_name->text().toStdString();
  EXPECT_EQ(session_time->text(), "30:00");

  // The lap out of the pits only sets the fuel reference; then three laps at rising speeds.
  test::DriveFourLaps(sim, *grid);

  test::ExpectFourLapRows(*grid);
  // Lap 3 is the best: its times carry the best colour, the others do not.
  const QColor best(0, 255, 128);
  for (int column : {kInt1, kInt2, kFinal}) {
    EXPECT_EQ(Background(*grid, 2, column), best) << "column " << column;
    EXPECT_NE(Background(*grid, 1, column), best) << "column " << column;
  }
  EXPECT_EQ(view->currentIndex().row(), 3);
  ExpectCellsAsTheStyleDrawsThem(*view);

  // The sector splits take the place of the intermediates.
  auto* display_sector = window.findChild<QAction*>(QStringLiteral("DisplaySector1"));
  ASSERT_NE(display_sector, nullptr);
  display_sector->trigger();
  for (int column : {kInt1, kInt2, kFinal}) {
    EXPECT_TRUE(view->isColumnHidden(column)) << column;
  }
  for (int column : {kSector1, kSector2, kSector3}) {
    EXPECT_FALSE(view->isColumnHidden(column)) << column;
  }
  EXPECT_EQ(Text(*grid, 2, kSector1), "0:30.500");
  EXPECT_EQ(Text(*grid, 2, kSector2), "0:31.500");
  EXPECT_EQ(Text(*grid, 2, kSector3), "0:31.250");
  EXPECT_EQ(Background(*grid, 2, kSector1), best);  // lap 3 has the best first sector
  EXPECT_EQ(Background(*grid, 1, kSector3), best);  // and lap 2 the best last one (31 s)

  // "Export" saves what the grid shows: the sector columns now, under their titles, every lap.
  window.findChild<QAction*>(QStringLiteral("CSVfile1"))->trigger();
  const QTemporaryDir folder;
  const QString name = folder.filePath(QStringLiteral("stint.csv"));
  test::DialogSeen dialog;
  {
    test::ModalAnswers answers({test::SaveAs(dialog, name)});
    window.findChild<QAction*>(QStringLiteral("Save1"))->trigger();
  }
  EXPECT_EQ(dialog.title, QStringLiteral("Exporting to CSV/Text..."));
  QFile exported(name);
  ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = exported.readAll().split('\n');
  ASSERT_EQ(lines.size(), 6);  // the titles, four laps and nothing after the last line end
  EXPECT_EQ(lines[0], "Lap\tSector 1\tSector 2\tSector 3\tAve. Spd.\tMax. Spd.\tFuel\r");
  EXPECT_TRUE(lines[3].startsWith("\"3\"\t\"0:30.500\"\t\"0:31.500\"\t\"0:31.250\"\t\"158."))
      << lines[3].toStdString();
  EXPECT_TRUE(lines[3].endsWith("\t\"198\"\t\"2.5\"\t\r")) << lines[3].toStdString();
  EXPECT_EQ(view->currentIndex().row(), 3) << "the grid's current row stays";

  // The summary row: best lap with its intermediates, fuel left, average and laps left.
  ASSERT_TRUE(test::Within(8000, [&] { return footer->CellText(3) == "32.2"; }))
      << footer->CellText(3).toStdString();
  EXPECT_EQ(footer->CellText(0), "0:30.500");
  EXPECT_EQ(footer->CellText(1), "1:02.000");
  EXPECT_EQ(footer->CellText(2), "1:33.250");
  EXPECT_EQ(footer->CellText(4), "2.6");
  EXPECT_EQ(footer->CellText(5), "12.4");
  EXPECT_EQ(footer->CellColor(5), QColor(255, 245, 179));

  // Fuel for under three laps: the laps-left cell alternates with orange.
  Ask("set FFuel 5");
  ASSERT_TRUE(test::Within(8000, [&] { return footer->CellText(5) == "1.9"; }));
  std::set<QRgb> seen;
  ASSERT_TRUE(test::Within(8000, [&] {
    footer->CellText(5);  // as the row is drawn: the text first, then its colour
    seen.insert(footer->CellColor(5).rgb());
    return seen.size() == 2;
  }));
  EXPECT_TRUE(seen.contains(QColor(255, 245, 179).rgb()));
  EXPECT_TRUE(seen.contains(QColor(255, 128, 0).rgb()));

  const QString shots = QStringLiteral(VELMORA_SCREENSHOT_DIR);
  QDir().mkpath(shots);
  EXPECT_TRUE(window.grab().save(shots + QStringLiteral("/race_views_test.png")));

  // A new race: the grid empties and the session labels follow.
  Ask("session 6 2700 12");
  ASSERT_TRUE(test::Within(8000, [&] { return session_name->text() == "Race 1" && grid->rowCount() == 0; }));
  EXPECT_EQ(session_time->text(), "12 laps");
}

}  // namespace
}  // namespace velmora::app

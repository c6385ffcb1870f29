// The main window's layout and menus, read back from the real widgets: widths, docking, swap, scaling,
// the scan interval, units, Init, the splash, the About box and the debug window.
#include <QDesktopServices>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QUrl>

#include <gtest/gtest.h>

#include "app/about_box.h"
#include "app/display_players_view.h"
#include "app/display_widgets.h"
#include "app/footer_view.h"
#include "app/main_menu.h"
#include "app/proportional_scaler.h"
#include "app/splash_window.h"
#include "game/game.h"
#include "platform/application_version.h"
#include "running_sim.h"
#include "save_as_answer.h"
#include "window_fixture.h"

namespace velmora::app {
namespace {

using test::DialogSeen;
using test::ModalAnswers;
using test::SaveAs;
using test::Within;

class WindowLayoutTest : public test::WindowTest {
 protected:
  static void SetMark(QAction* item, bool checked) {
    if (item->isChecked() != checked) {
      item->trigger();
    }
    ASSERT_EQ(item->isChecked(), checked) << item->objectName().toStdString();
  }
  // A widget's rectangle in the window's client area.
  static QRect InClient(QWidget& window, QWidget& widget) {
    QWidget* client = static_cast<TForm1&>(window).centralWidget();
    return {widget.mapTo(client, QPoint(0, 0)), widget.size()};
  }
};

TEST_F(WindowLayoutTest, ShowingAndHidingTheSideColumnGivesTheFourWidths) {
  const auto window = Open();
  const struct {
    bool grid;
    bool weather;
    int width;
  } cases[] = {
      {true, true, 994}, {false, true, 785}, {false, false, 585}, {true, false, 794}, {true, true, 994}};
  for (const auto& c : cases) {
    SetMark(window->Menu().ShowPlayerGrid1, c.grid);
    SetMark(window->Menu().ShowWeatherPanel1, c.weather);
    EXPECT_TRUE(Within(2000, [&] { return window->centralWidget()->width() == c.width; }))
        << c.grid << c.weather << " width " << window->centralWidget()->width();
    EXPECT_EQ(Find(*window, "Panel1")->width(), c.width);
    EXPECT_EQ(window->centralWidget()->height(), 554);
    EXPECT_EQ(Find(*window, "Panel6")->width(), 585);
    EXPECT_EQ(Find(*window, "Panel7")->isVisible(), c.grid);
    EXPECT_EQ(Find(*window, "pnl1")->isVisible(), c.weather);
  }
}

TEST_F(WindowLayoutTest, TheColumnDocksLeftOrRightAndTheSwapOnlyExchangesItsParts) {
  const auto window = Open();
  QWidget& column = *Find(*window, "Panel3");
  QWidget& dashboard = *Find(*window, "Panel6");
  QWidget& grid = *Find(*window, "Panel7");
  QWidget& weather = *Find(*window, "pnl1");
  const struct {
    bool right;
    bool swapped;
    int column_x, dashboard_x, grid_x, weather_x;
  } cases[] = {
      {false, false, 0, 409, 200, 0},
      {true, false, 585, 0, 785, 585},
      {true, true, 585, 0, 585, 794},
      {false, true, 0, 409, 0, 209},
  };
  for (const auto& c : cases) {
    window->Menu().PlayerGridontheleft1->setChecked(true);
    (c.right ? window->Menu().Playergridontheright1 : window->Menu().PlayerGridontheleft1)->trigger();
    SetMark(window->Menu().SwapWeatherPlayerGrid1, c.swapped);
    QApplication::processEvents();
    EXPECT_EQ(InClient(*window, column), QRect(c.column_x, 0, 409, 554)) << c.right << c.swapped;
    EXPECT_EQ(InClient(*window, dashboard), QRect(c.dashboard_x, 0, 585, 554)) << c.right << c.swapped;
    EXPECT_EQ(InClient(*window, grid), QRect(c.grid_x, 0, 209, 554)) << c.right << c.swapped;
    EXPECT_EQ(InClient(*window, weather), QRect(c.weather_x, 0, 200, 554)) << c.right << c.swapped;
  }
}

TEST_F(WindowLayoutTest, MaximisingScalesTheWholeDashboardByOneFactor) {
  const auto window = Open();
  QWidget& tread = *Find(*window, "pnl_PneuDroitArriereExt");
  QWidget& gear = *Find(*window, "lbl_rapport_vitesse");
  const QRect tread_design = InClient(*window, tread);
  const int gear_font = gear.font().pixelSize();
  auto& drivers = static_cast<DriverListView&>(*Find(*window, "DisplayPlayersView"));
  const int design_row_height = drivers.sizeHintForRow(0);
  EXPECT_EQ(design_row_height, QFontInfo(drivers.font()).pixelSize() + 2);
  // Every text of the time column shows whole; the name column gave up what the time needs.
  const auto expect_whole_times = [&](const char* when) {
    for (const char* text : {"-0:01.000", "--:--.---", "1:59.999"}) {
      EXPECT_LE(drivers.TimeTextWidth(QString::fromLatin1(text)), drivers.columnWidth(2))
          << text << " " << when;
    }
  };
  expect_whole_times("at design size");
  EXPECT_EQ(drivers.DesignNameWidth() + drivers.DesignTimeWidth(), DriverListView::kNameAndTimeWidth);

  window->showMaximized();
  // The screen's size decides whether the dashboard grows or shrinks.
  ASSERT_TRUE(Within(3000, [&] { return window->centralWidget()->width() != 994; }));
  QApplication::processEvents();
  const QSize client = window->centralWidget()->size();
  const double factor = std::min(client.width() / 994.0, client.height() / 554.0);
  const QRect panel1 = InClient(*window, *Find(*window, "Panel1"));
  EXPECT_NEAR(panel1.width(), 994 * factor, 1.0);
  EXPECT_NEAR(panel1.height(), 554 * factor, 1.0);
  const QRect scaled = InClient(*window, tread);
  EXPECT_NEAR(scaled.x(), tread_design.x() * factor, 1.0);
  EXPECT_NEAR(scaled.y(), tread_design.y() * factor, 1.0);
  EXPECT_NEAR(scaled.width(), 50 * factor, 1.0);
  EXPECT_NEAR(gear.font().pixelSize(), gear_font * factor, 1.0);

  // The summary and the driver list columns follow the same factor, truncated.
  auto& footer = static_cast<FooterView&>(*Find(*window, "FooterInformation"));
  drivers.RowsReset(static_cast<TForm1&>(*window).Game().FDisplayPlayers);  // survives a new list
  struct Column {
    int design;
    int shown;
  };
  for (const Column column : {Column{114, footer.CellRect(0).width()}, Column{80, footer.CellRect(5).width()},
                              Column{DriverListView::kPositionWidth, drivers.columnWidth(0)},
                              Column{drivers.DesignNameWidth(), drivers.columnWidth(1)},
                              Column{drivers.DesignTimeWidth(), drivers.columnWidth(2)}}) {
    EXPECT_NEAR(column.shown, static_cast<int>(column.design * factor), 1) << column.design;
  }
  expect_whole_times("maximised");
  const int row_height = QFontInfo(drivers.font()).pixelSize() + 2;
  EXPECT_NE(row_height, design_row_height);
  EXPECT_EQ(drivers.sizeHintForRow(0), row_height);

  window->showNormal();
  ASSERT_TRUE(Within(3000, [&] { return window->centralWidget()->width() == 994; }));
  EXPECT_EQ(InClient(*window, tread), tread_design);
  EXPECT_EQ(gear.font().pixelSize(), gear_font);
  EXPECT_EQ(drivers.columnWidth(1), drivers.DesignNameWidth());
  EXPECT_EQ(drivers.sizeHintForRow(0), design_row_height);
}

// Font sizes round to whole pixels and each glyph's advance with them, so a scaled time can outgrow a column
// scaled by the same factor; the scales a window meets, from a small screen to a large one.
TEST(DriverListColumnsTest, EveryTimeShowsWholeAtEveryScale) {
  QWidget root;
  root.resize(400, 600);
  auto* drivers = new DriverListView(&root);
  drivers->setGeometry(0, 0, 207, 554);
  TProportionalScaler scaler(root);
  for (const double factor : {0.5, 0.62, 0.8, 1.0, 1.15, 1.33, 1.5, 1.77, 2.0, 2.5}) {
    scaler.ScaleTo(factor, factor);
    for (const char* text : {"-0:01.000", "-9:59.999", "--:--.---", "1:59.999", "59:59.999"}) {
      EXPECT_LE(drivers->TimeTextWidth(QString::fromLatin1(text)), drivers->columnWidth(2))
          << text << " at " << factor << " (font of " << QFontInfo(drivers->font()).pixelSize() << " px)";
    }
    EXPECT_LE(
        drivers->columnWidth(0) + drivers->columnWidth(1) + drivers->columnWidth(2),
        static_cast<int>((DriverListView::kPositionWidth + DriverListView::kNameAndTimeWidth) * factor) + 1)
        << factor;
  }
}

// "Display Sector" across a restart, a maximise, a View-menu change and back, then the XML export's widths
// while maximised: the sector columns always show, in proportion to the grid.
TEST_F(WindowLayoutTest, TheSectorColumnsSurviveARestartAMaximiseAndAMenuChangeAndExportTheirShownWidths) {
  {
    auto window = Open();
    window->Menu().DisplaySector1->trigger();
    window->close();
  }
  auto window = Open();
  ASSERT_TRUE(window->Menu().DisplaySector1->isChecked());
  window->Init();
  auto& grid = *Find<QTableView>(*window, "grd_time");
  std::vector<int> design;
  const auto expect_sector_columns = [&](double factor, const char* when) {
    SCOPED_TRACE(when);
    for (int column = 1; column <= 3; ++column) {
      EXPECT_TRUE(grid.isColumnHidden(column)) << column;
    }
    for (int column = 4; column <= 6; ++column) {
      EXPECT_FALSE(grid.isColumnHidden(column)) << column;
      EXPECT_GT(grid.columnWidth(column), 0) << column;
    }
    for (const int column : {0, 4, 5, 6, 7, 8, 9}) {
      EXPECT_NEAR(grid.columnWidth(column), design[column] * factor, 2.0) << column;
    }
  };
  for (int column = 0; column < 10; ++column) {
    design.push_back(grid.columnWidth(column));
  }
  expect_sector_columns(1.0, "after the restart");
  EXPECT_NEAR(design[4], 0.1979 / 0.101 * design[0], 2.0);

  window->showMaximized();
  ASSERT_TRUE(Within(3000, [&] { return window->centralWidget()->width() != 994; }));
  QApplication::processEvents();
  const QSize client = window->centralWidget()->size();
  const double factor = std::min(client.width() / 994.0, client.height() / 554.0);
  expect_sector_columns(factor, "maximised");
  window->Menu().ShowWeatherPanel1->trigger();
  QApplication::processEvents();
  const QSize narrower = window->centralWidget()->size();
  const double menu_factor = std::min(narrower.width() / 785.0, narrower.height() / 554.0);
  expect_sector_columns(menu_factor, "maximised, weather hidden");

  const QString name = folder_.filePath(QStringLiteral("laps.xml"));
  window->Menu().XMLfile1->trigger();
  {
    DialogSeen seen;
    ModalAnswers answers({SaveAs(seen, name)});
    window->Menu().Save1->trigger();
  }
  QFile file(name);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray xml = file.readAll();
  for (const int column : {0, 4, 9}) {
    EXPECT_TRUE(xml.contains("WIDTH=\"" + QByteArray::number(grid.columnWidth(column)) + "\""))
        << column << xml.toStdString();
  }

  window->Menu().ShowWeatherPanel1->trigger();
  window->showNormal();
  ASSERT_TRUE(Within(3000, [&] { return window->centralWidget()->width() == 994; }));
  QApplication::processEvents();
  expect_sector_columns(1.0, "back to normal");
}

TEST_F(WindowLayoutTest, EachScanItemSetsTheDataInterval) {
  const auto window = Open();
  EXPECT_EQ(window->DataInterval(), 500);
  TMainMenu& menu = window->Menu();
  const struct {
    QAction* item;
    int interval;
  } cases[] = {{menu.N50ms1, 50},
               {menu.N100ms1, 100},
               {menu.N250ms1, 250},
               {menu.N1000ms1, 1000},
               {menu.N500ms1, 500}};
  for (const auto& c : cases) {
    c.item->trigger();
    EXPECT_TRUE(c.item->isChecked());
    EXPECT_EQ(window->DataInterval(), c.interval) << c.item->objectName().toStdString();
  }
}

TEST_F(WindowLayoutTest, UnitSwitchesTheShownUnitsOfALiveValueAndInitBringsBackUnknownGame) {
  velmora::test::RunningSim sim;
  for (const char* command : {"pause", "set FInCokpit 1", "set FEau 373.5"}) {
    ASSERT_EQ(sim.Ask(command), "ok") << command;
  }
  const auto window = Open();
  auto* status = Find<QLabel>(*window, "lbl_application");
  auto* water = Find<PanelWidget>(*window, "pnl_eau");
  ASSERT_TRUE(Within(8000, [&] { return status->text() == "Race 07" && water->Text() == "100"; }))
      << status->text().toStdString() << " " << water->Text().toStdString();
  window->Menu().Imprial1->trigger();
  EXPECT_FALSE(window->Game().FMetrique);
  EXPECT_TRUE(Within(3000, [&] { return water->Text() == "212"; })) << water->Text().toStdString();
  window->Menu().Mtrique1->trigger();
  EXPECT_TRUE(Within(3000, [&] { return water->Text() == "100"; })) << water->Text().toStdString();

  // Closing the About box makes the window active again: Init shows "Unknown Game" until the next
  // detection tick finds the simulator again.
  window->Menu().About1->trigger();
  ASSERT_TRUE(Within(2000, [&] { return window->AboutBox().isVisible(); }));
  window->AboutBox().accept();
  ASSERT_TRUE(Within(2000, [&] { return status->text() == "Unknown Game"; }));
  EXPECT_TRUE(Within(3000, [&] { return status->text() == "Race 07"; }));
}

TEST_F(WindowLayoutTest, TheSplashShowsOverTheWindowAndClosesItself) {
  const auto window = Open(/*splash=*/true);
  auto* splash = window->findChild<QDialog*>(QStringLiteral("Form3"));
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(splash->isVisible());
  EXPECT_TRUE(splash->isModal());
  EXPECT_EQ(splash->size(), QSize(800, 600));
  EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
  QPointer<QDialog> alive(splash);
  EXPECT_TRUE(Within(TForm3::kShowMs + 1500, [&] { return alive.isNull(); }));
}

// Receives what the About box's click areas open, so that no test starts a real browser or mail program.
class OpenedLinks final : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> urls;
 public slots:
  void Open(const QUrl& url) { urls.append(url); }
};

TEST_F(WindowLayoutTest, TheAboutBoxShowsTheVersionAndOpensItsSixLinks) {
  const auto window = Open();
  window->Menu().About1->trigger();
  TAboutBox& about = window->AboutBox();
  ASSERT_TRUE(Within(2000, [&] { return about.isVisible(); }));
  EXPECT_EQ(about.windowTitle(), "About");
  EXPECT_EQ(about.size(), QSize(800, 600));
  EXPECT_EQ(about.Label2->text().toStdString(), platform::ApplicationVersion());

  OpenedLinks links;
  for (const char* scheme : {"mailto", "https"}) {
    QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &links, "Open");
  }
  for (const auto& area : TAboutBox::kClickAreas) {
    auto* button = Find<QPushButton>(about, area.name);
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    button->click();
  }
  for (const char* scheme : {"mailto", "https"}) {
    QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
  }
  ASSERT_EQ(links.urls.size(), 6);
  EXPECT_EQ(links.urls[0].scheme(), "mailto");
  for (std::size_t i = 0; i < TAboutBox::kClickAreas.size(); ++i) {
    EXPECT_EQ(links.urls[static_cast<int>(i)].toString().toStdString(), TAboutBox::kClickAreas[i].target);
  }
  about.OKButton->click();
  EXPECT_FALSE(about.isVisible());
}

TEST_F(WindowLayoutTest, TheDebugWindowStandsAtTheRightEdgeAndTheMenuOnlyWhenAsked) {
  const auto plain = Open();
  EXPECT_FALSE(plain->Menu().Debug1->menuAction()->isVisible());

  const auto window = Open(false, /*debug_menu=*/true);
  EXPECT_TRUE(window->Menu().Debug1->menuAction()->isVisible());
  window->move(30, 40);
  QApplication::processEvents();
  window->Menu().DisplayForm1->trigger();
  QWidget& form2 = *Find(*window, "Form2");
  ASSERT_TRUE(Within(2000, [&] { return form2.isVisible(); }));
  const QRect main = window->frameGeometry();
  EXPECT_EQ(form2.frameGeometry().left(), main.right() + 1);
  EXPECT_EQ(form2.frameGeometry().top(), main.top());
  EXPECT_EQ(form2.width(), 200);
  window->Menu().DisplayForm1->trigger();
  EXPECT_FALSE(form2.isVisible());
}

}  // namespace
}  // namespace velmora::app

#include "window_layout_test.moc"

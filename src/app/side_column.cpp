#include "app/side_column.h"

#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>

#include "app/display_players_view.h"
#include "game/game.h"

namespace velmora::app {
namespace {

constexpr int kSessionHeight = 40;
constexpr int kTemperatureHeight = 55;
constexpr int kWetnessHeight = 70;
constexpr int kGaugeLeft = 3;
constexpr int kForecastSize = 48;

QFont Arial(int pixels, bool bold = false) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

template <typename Gauge>
void TrendGaugeDesign(Gauge* gauge, const QString& caption, const gauges::ImageList* arrows) {
  gauge->SetCaption(caption);
  gauge->SetImageList(arrows);
  gauge->SetImageDown(0);
  gauge->SetImageHorizontal(1);
  gauge->SetImageUp(2);
  gauge->SetLimitWarning(0.25F);
  gauge->SetLimitAlert(0.5F);
}

}  // namespace

CategoryPanel::CategoryPanel(const QString& name, const QString& caption, const QString& picture, int height,
                             QWidget* parent)
    : QWidget(parent) {
  setObjectName(name);
  resize(SideColumn::kWeatherWidth, height);
  auto* header = new QWidget(this);
  header->setGeometry(0, 0, width(), kHeaderHeight);
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  QSvgRenderer(picture).render(&painter);
  painter.end();
  auto* icon = new QLabel(header);
  icon->setPixmap(pixmap);
  icon->setGeometry(2, 2, 16, 16);
  auto* title = new QLabel(caption, header);
  title->setObjectName(name + QStringLiteral("_caption"));
  title->setFont(Arial(13));
  title->setGeometry(22, 0, width() - 24, kHeaderHeight);
  body_ = new QWidget(this);
  body_->setGeometry(0, kHeaderHeight, width(), height - kHeaderHeight);
  // The gauges take their black background and white 13-pixel text from here.
  body_->setFont(Arial(13));
}

SideColumn::SideColumn(QWidget* parent)
    : QWidget(parent),
      ImageList2(std::make_unique<gauges::ImageList>(
          QSize(16, 16), std::vector<QString>{QStringLiteral(":/assets/arrow_down.svg"),
                                              QStringLiteral(":/assets/arrow_horizontal.svg"),
                                              QStringLiteral(":/assets/arrow_up.svg")})),
      ImageList3(std::make_unique<gauges::ImageList>(
          QSize(kForecastSize, kForecastSize),
          std::vector<QString>{
              QStringLiteral(":/assets/forecast_0.svg"), QStringLiteral(":/assets/forecast_1.svg"),
              QStringLiteral(":/assets/forecast_2.svg"), QStringLiteral(":/assets/forecast_3.svg"),
              QStringLiteral(":/assets/forecast_4.svg"), QStringLiteral(":/assets/forecast_5.svg")})) {
  setObjectName(QStringLiteral("Panel3"));
  resize(kWidth, kHeight);

  Panel7 = new QWidget(this);
  Panel7->setObjectName(QStringLiteral("Panel7"));
  Panel7->resize(kGridWidth, kHeight);
  DisplayPlayersView = new DriverListView(Panel7);
  DisplayPlayersView->setGeometry(0, 0, kGridWidth, kHeight);

  pnl1 = new QWidget(this);
  pnl1->setObjectName(QStringLiteral("pnl1"));
  pnl1->resize(kWeatherWidth, kHeight);

  CategoryPanel2 = new CategoryPanel(QStringLiteral("CategoryPanel2"), QStringLiteral("Session"),
                                     QStringLiteral(":/assets/header_session.svg"), kSessionHeight, pnl1);
  CategoryPanel2->move(0, 0);
  lbl_SessionGTR = new LabelWidget(QStringLiteral("lbl_SessionGTR"), CategoryPanel2->Body());
  PlaceFixed(*lbl_SessionGTR, {kGaugeLeft, 0, 89, kSessionHeight - CategoryPanel::kHeaderHeight});
  lbl_TempsSession = new LabelWidget(QStringLiteral("lbl_TempsSession"), CategoryPanel2->Body());
  PlaceFixed(*lbl_TempsSession, {92, 0, kWeatherWidth - 95, kSessionHeight - CategoryPanel::kHeaderHeight});
  lbl_TempsSession->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lbl_TempsSession->setFont(Arial(16, true));

  CategoryPanel1 =
      new CategoryPanel(QStringLiteral("CategoryPanel1"), QStringLiteral("Temperature"),
                        QStringLiteral(":/assets/header_temperature.svg"), kTemperatureHeight, pnl1);
  CategoryPanel1->move(0, kSessionHeight);
  VelmoraTemperatureAir =
      new gauges::TVelmoraTemperatureTrack(QStringLiteral("VelmoraTemperatureAir"), CategoryPanel1->Body());
  VelmoraTemperatureAir->setGeometry(kGaugeLeft, 1, 194, 16);
  TrendGaugeDesign(VelmoraTemperatureAir, QStringLiteral("Air :"), ImageList2.get());
  VelmoraTemperatureAir->SetMetrique(true);
  VelmoraTemperatureTrack =
      new gauges::TVelmoraTemperatureTrack(QStringLiteral("VelmoraTemperatureTrack"), CategoryPanel1->Body());
  VelmoraTemperatureTrack->setGeometry(kGaugeLeft, 18, 194, 16);
  TrendGaugeDesign(VelmoraTemperatureTrack, QStringLiteral("Track :"), ImageList2.get());
  VelmoraTemperatureTrack->SetMetrique(false);

  grp_Humidity =
      new CategoryPanel(QStringLiteral("grp_Humidity"), QStringLiteral("Wetness    /     Forecast"),
                        QStringLiteral(":/assets/header_wetness.svg"), kWetnessHeight, pnl1);
  grp_Humidity->move(0, kSessionHeight + kTemperatureHeight);
  const struct {
    gauges::TVelmoraHumiditySector** gauge;
    const char* name;
    const char* caption;
    double value;
  } wetness[] = {{&VelmoraHumiditySector1, "VelmoraHumiditySector1", "Rainfall :", 0.55},
                 {&VelmoraHumiditySector2, "VelmoraHumiditySector2", "On Path :", 0.5},
                 {&VelmoraHumiditySector3, "VelmoraHumiditySector3", "Off Path :", 0.5}};
  int top = 1;
  for (const auto& design : wetness) {
    auto* gauge = new gauges::TVelmoraHumiditySector(QString::fromLatin1(design.name), grp_Humidity->Body());
    gauge->setGeometry(kGaugeLeft, top, 146, 16);
    TrendGaugeDesign(gauge, QString::fromLatin1(design.caption), ImageList2.get());
    gauge->SetImageMargins({3, 3, 0, 0});
    gauge->SetValue(design.value);
    *design.gauge = gauge;
    top += 16;
  }
  Panel10 = new QWidget(grp_Humidity->Body());
  Panel10->setObjectName(QStringLiteral("Panel10"));
  Panel10->setGeometry(kWeatherWidth - kForecastSize, 1, kForecastSize, kForecastSize);
  VelmoraForecast1 = new gauges::TVelmoraForecast(QStringLiteral("VelmoraForecast1"), Panel10);
  VelmoraForecast1->setGeometry(0, 0, kForecastSize, kForecastSize);
  VelmoraForecast1->SetImageList(ImageList3.get());
  for (int picture = 0; picture < gauges::ForecastGauge::kPictures; ++picture) {
    VelmoraForecast1->SetImage(picture, picture);
  }

  Arrange();
}

SideColumn::~SideColumn() = default;

void SideColumn::Bind(TGame& game) {
  game.FDisplayPlayers.SetTreeView(DisplayPlayersView);
  game.FTemperatureAir.FEtiquette = VelmoraTemperatureAir;
  game.FTemperaturePiste.FEtiquette = VelmoraTemperatureTrack;
  game.FHumidityRainfall.FEtiquette = VelmoraHumiditySector1;
  game.FHumidityOnPath.FEtiquette = VelmoraHumiditySector2;
  game.FHumidityOffPath.FEtiquette = VelmoraHumiditySector3;
  game.FPrevisionMeteo.FEtiquette = VelmoraForecast1;
  game.FSession.FEtiquette = lbl_SessionGTR;
  game.FSession.FEtiquetteTemps = lbl_TempsSession;
}

void SideColumn::ShowPlayerGrid(bool shown) {
  Panel7->setVisible(shown);
  Arrange();
}

void SideColumn::ShowWeatherPanel(bool shown) {
  pnl1->setVisible(shown);
  Arrange();
}

void SideColumn::SwapWeatherPlayerGrid(bool swapped) {
  swapped_ = swapped;
  Arrange();
}

void SideColumn::Arrange() {
  // Widths are taken from the parts themselves, so the arrangement holds at any scale.
  const bool grid = !Panel7->isHidden();
  const bool weather = !pnl1->isHidden();
  const int grid_width = grid ? Panel7->width() : 0;
  const int weather_width = weather ? pnl1->width() : 0;
  if (swapped_) {
    Panel7->move(0, 0);
    pnl1->move(grid_width, 0);
  } else {
    pnl1->move(0, 0);
    Panel7->move(weather_width, 0);
  }
  resize(grid_width + weather_width, height());
}

}  // namespace velmora::app

#include "app/dashboard_panel.h"

#include <QFont>

#include "game/game.h"
#include "game/game_link.h"

namespace velmora::app {
namespace {

constexpr int kLampRowTop = 338;
constexpr int kLampLeft = 20;
constexpr int kLampStep = 62;
constexpr Rgb kDesignGreen{0, 255, 128};

QLabel* Caption(const QString& text, QRect where, QWidget* parent) {
  auto* caption = new QLabel(text, parent);
  caption->setGeometry(where);
  caption->setAlignment(Qt::AlignCenter);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(11);
  font.setBold(true);
  caption->setFont(font);
  return caption;
}

PanelWidget* DesignPanel(const QString& name, std::string_view text, QRect where, QWidget* parent) {
  auto* panel = new PanelWidget(name, parent);
  PlaceFixed(*panel, where);
  panel->SetText(text);
  panel->SetColor(kDesignGreen);
  // Through the palette, not a style sheet: these panels change at every cycle, and a styled label costs
  // more to draw.
  QPalette colors = panel->palette();
  colors.setColor(QPalette::WindowText, Qt::black);
  panel->setPalette(colors);
  return panel;
}

QString LampPicture(const QString& lamp, int picture) {
  return QStringLiteral(":/assets/lamp_%1_%2.svg").arg(lamp).arg(picture);
}

}  // namespace

DashboardPanel::DashboardPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Panel6"));
  resize(kWidth, kHeight);

  auto* status_bar = new QWidget(this);
  status_bar->setObjectName(QStringLiteral("Panel8"));
  status_bar->setGeometry(0, 0, kWidth, 45);
  img_application = new StateImage(QStringLiteral("img_application"),
                                   {QStringLiteral(":/assets/status_unknown.svg"),
                                    QStringLiteral(":/assets/status_supported.svg"), QString()},
                                   0, status_bar);
  img_application->setGeometry(8, 3, 39, 39);
  lbl_application = new LabelWidget(QStringLiteral("lbl_application"), status_bar);
  PlaceFixed(*lbl_application, {56, 0, kWidth - 60, 45});
  lbl_application->SetText("Unknown Game");

  avant_gauche = MakeTyre(QStringLiteral("Gauche"), QStringLiteral("Avant"), true, {5, 50});
  avant_droit = MakeTyre(QStringLiteral("Droit"), QStringLiteral("Avant"), false, {410, 50});
  arriere_gauche = MakeTyre(QStringLiteral("Gauche"), QStringLiteral("Arriere"), true, {5, 200});
  arriere_droit = MakeTyre(QStringLiteral("Droit"), QStringLiteral("Arriere"), false, {410, 200});

  // Pedals between the wheels, the engine under them.
  gag_Embrayage = new BarGauge(QStringLiteral("gag_Embrayage"), Qt::Vertical, QColor(255, 255, 0), this);
  gag_Embrayage->setGeometry(200, 50, 40, 158);
  gag_Freinage = new BarGauge(QStringLiteral("gag_Freinage"), Qt::Vertical, QColor(255, 0, 0), this);
  gag_Freinage->setGeometry(272, 50, 40, 158);
  gag_Accelaration = new BarGauge(QStringLiteral("gag_Accelaration"), Qt::Vertical, QColor(0, 200, 0), this);
  gag_Accelaration->setGeometry(344, 50, 40, 158);
  Caption(QStringLiteral("Clutch"), {190, 210, 60, 14}, this);
  Caption(QStringLiteral("Brake"), {262, 210, 60, 14}, this);
  Caption(QStringLiteral("Accel."), {334, 210, 60, 14}, this);

  Caption(QStringLiteral("Water"), {185, 228, 60, 14}, this);
  pnl_eau = DesignPanel(QStringLiteral("pnl_eau"), "90", {185, 242, 60, 30}, this);
  Caption(QStringLiteral("Oil"), {185, 276, 60, 14}, this);
  pnl_huile = DesignPanel(QStringLiteral("pnl_huile"), "90", {185, 290, 60, 30}, this);
  lbl_rapport_vitesse = new LargeTextLabel(QStringLiteral("lbl_rapport_vitesse"), this);
  PlaceFixed(*lbl_rapport_vitesse, {252, 228, 80, 94});
  lbl_rapport_vitesse->setAlignment(Qt::AlignCenter);
  QFont gear_font(QStringLiteral("Arial"));
  gear_font.setPixelSize(72);
  gear_font.setBold(true);
  lbl_rapport_vitesse->setFont(gear_font);
  lbl_rapport_vitesse->setText(QStringLiteral("N"));
  Caption(QStringLiteral("Motor"), {340, 228, 60, 14}, this);
  pnl_moteur = DesignPanel(QStringLiteral("pnl_moteur"), "100%", {340, 242, 60, 30}, this);

  img_contact = MakeLamp(QStringLiteral("img_contact"), 2, 1, 0);
  img_moteur = MakeLamp(QStringLiteral("img_moteur"), 2, 1, 1);
  img_ligth = MakeLamp(QStringLiteral("img_ligth"), 2, 1, 2);
  img_abs = MakeLamp(QStringLiteral("img_abs"), 3, 1, 3);
  img_stability = MakeLamp(QStringLiteral("img_stability"), 3, 1, 4);
  img_traction = MakeLamp(QStringLiteral("img_traction"), 3, 1, 5);
  img_embrayage = MakeLamp(QStringLiteral("img_embrayage"), 2, 1, 6);
  img_pit = MakeLamp(QStringLiteral("img_pit"), 2, 2, 7);
  img_limiteur = MakeLamp(QStringLiteral("img_limiteur"), 2, 2, 8);
}

TyreWidgets DashboardPanel::MakeTyre(const QString& side, const QString& axle, bool left, QPoint at) {
  const QString prefix = QStringLiteral("pnl_Pneu") + side + axle;
  TyreWidgets tyre{};
  tyre.vitesse = new PanelWidget(prefix + QStringLiteral("Vitesse"), this);
  PlaceFixed(*tyre.vitesse, {at.x(), at.y(), 170, 125});
  tyre.vitesse->SetColor({0, 0, 0});
  QWidget* block = tyre.vitesse;
  tyre.usure =
      new BarGauge(QStringLiteral("gag_UsurePneu") + axle + side, Qt::Horizontal, QColor(0, 160, 255), block);
  tyre.usure->setGeometry(10, 4, 150, 21);
  tyre.usure->SetPosition(50);
  // Outer, middle, inner from left to right on the left wheels; mirrored on the right ones.
  const int outer_x = left ? 10 : 110;
  const int inner_x = left ? 110 : 10;
  tyre.ext = DesignPanel(prefix + QStringLiteral("Ext"), "80", {outer_x, 28, 50, 50}, block);
  tyre.milieu = DesignPanel(prefix + QStringLiteral("Milieu"), "80", {60, 28, 50, 50}, block);
  tyre.interieur = DesignPanel(prefix + QStringLiteral("Int"), "80", {inner_x, 28, 50, 50}, block);
  Caption(QStringLiteral("Pressure"), {15, 79, 60, 12}, block);
  Caption(QStringLiteral("Brake"), {95, 79, 60, 12}, block);
  tyre.pression = DesignPanel(prefix + QStringLiteral("Pression"), "180", {20, 92, 50, 30}, block);
  tyre.frein = DesignPanel(prefix + QStringLiteral("Frein"), "20", {100, 92, 50, 30}, block);
  return tyre;
}

StateImage* DashboardPanel::MakeLamp(const QString& name, int pictures, int initial, int index) {
  std::array<QString, 3> paths;
  for (int i = 0; i < pictures; ++i) {
    paths[static_cast<std::size_t>(i)] = LampPicture(name, i + 1);
  }
  auto* lamp = new StateImage(name, paths, initial, this);
  lamp->setGeometry(kLampLeft + index * kLampStep, kLampRowTop, 45, 45);
  return lamp;
}

namespace {

void BindTyre(TPneu& tyre, const TyreWidgets& widgets) {
  tyre.FTempExterieure.FPanel = widgets.ext;
  tyre.FTempMilieu.FPanel = widgets.milieu;
  tyre.FTempInterieure.FPanel = widgets.interieur;
  tyre.FPression.FPanel = widgets.pression;
  tyre.FDisqueFrein.FPanel = widgets.frein;
  tyre.FUsure.FGauge = widgets.usure;
  tyre.FVitesse.FPanel = widgets.vitesse;
}

}  // namespace

void DashboardPanel::Bind(TGame& game, TGameLink& link) {
  link.lbl_application = lbl_application;
  link.img_application = img_application;
  BindTyre(game.FPneuAvantGauche, avant_gauche);
  BindTyre(game.FPneuAvantDroit, avant_droit);
  BindTyre(game.FPneuArriereGauche, arriere_gauche);
  BindTyre(game.FPneuArriereDroit, arriere_droit);
  game.FABS.FLed = img_abs;
  game.FAcceleration.FGauge = gag_Accelaration;
  game.FContact.FLed = img_contact;
  game.FEau.FPanel = pnl_eau;
  game.FEmbrayage.FGauge = gag_Embrayage;
  game.FEmbrayageLed.FLed = img_embrayage;
  game.FFreinage.FGauge = gag_Freinage;
  game.FHuille.FPanel = pnl_huile;
  game.FLimiteur.FLed = img_limiteur;
  game.FMotorRPM.FLed = img_moteur;
  game.FPhares.FLed = img_ligth;
  game.FPitIn.FLed = img_pit;
  game.FRapportVitesse.FEtiquette = lbl_rapport_vitesse;
  // The aid lamps are bound crosswise: the three-picture image shows the three-level aid.
  game.FStabilite.FLed = img_traction;
  game.FTraction.FLed = img_stability;
  game.FUsureMoteur.FPanel = pnl_moteur;
}

void DashboardPanel::ResetLamps() {
  for (StateImage* lamp : {img_traction, img_abs, img_stability, img_embrayage, img_limiteur, img_ligth,
                           img_contact, img_moteur, img_pit}) {
    lamp->ShowPicture(1);
  }
}

}  // namespace velmora::app

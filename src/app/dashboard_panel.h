#pragma once

#include <QWidget>

#include "app/display_widgets.h"

namespace velmora {
class TGame;
class TGameLink;
}  // namespace velmora

namespace velmora::app {

// The widgets of one wheel.
struct TyreWidgets {
  PanelWidget* vitesse;  // the black block behind the wheel; its colour shows slip
  BarGauge* usure;
  PanelWidget* ext;
  PanelWidget* milieu;
  PanelWidget* interieur;
  PanelWidget* pression;
  PanelWidget* frein;
};

// The dashboard panel `Panel6`: status bar, four wheels, pedals, engine and gear, and the lamp row, laid
// out at design size (585 x 554). The lap grid and the summary row come below the lamps.
class DashboardPanel final : public QWidget {
 public:
  static constexpr int kWidth = 585;
  static constexpr int kHeight = 554;

  explicit DashboardPanel(QWidget* parent);

  // Binds every value object of the game, and the status area of the link, to these widgets.
  void Bind(TGame& game, TGameLink& link);
  // Puts the nine lamps in their resting picture.
  void ResetLamps();

  StateImage* img_application;
  LabelWidget* lbl_application;
  TyreWidgets avant_gauche;
  TyreWidgets avant_droit;
  TyreWidgets arriere_gauche;
  TyreWidgets arriere_droit;
  BarGauge* gag_Embrayage;
  BarGauge* gag_Freinage;
  BarGauge* gag_Accelaration;
  PanelWidget* pnl_eau;
  PanelWidget* pnl_huile;
  PanelWidget* pnl_moteur;
  LargeTextLabel* lbl_rapport_vitesse;
  StateImage* img_contact;
  StateImage* img_moteur;
  StateImage* img_ligth;
  StateImage* img_abs;
  StateImage* img_stability;
  StateImage* img_traction;
  StateImage* img_embrayage;
  StateImage* img_pit;
  StateImage* img_limiteur;

 private:
  TyreWidgets MakeTyre(const QString& side, const QString& axle, bool left, QPoint at);
  StateImage* MakeLamp(const QString& name, int pictures, int initial, int index);
};

}  // namespace velmora::app

// Applies arbitrary 440-byte records to a client's game model with every kind of display bound, the lap
// grid, the session labels and the summary row among them, in and out of the car and in both unit
// systems.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "game/game.h"
#include "platform/tick_clock.h"

namespace {

class StepClock final : public velmora::platform::TickClock {
 public:
  std::uint32_t Now() const override { return now_ += 1000; }

 private:
  mutable std::uint32_t now_ = 0;
};

class Sink final : public velmora::PanelTarget,
                   public velmora::PictureTarget,
                   public velmora::PositionTarget,
                   public velmora::TemperatureGaugeTarget,
                   public velmora::FooterTarget {
 public:
  explicit Sink(velmora::TFooterInformation& footer) : footer_(footer) {}
  void SetText(std::string_view text) override { text_ = text; }
  void SetColor(velmora::Rgb) override {}
  int Picture() const override { return picture_; }
  void ShowPicture(int picture) override { picture_ = picture; }
  int Position() const override { return position_; }
  void SetPosition(int position) override { position_ = position; }
  void SetValue(double) override {}
  void SetMetrique(bool) override {}
  // Draws the summary row as its widget would: every column's text and colour.
  void RepaintRow() override {
    for (std::size_t column = 0; column < velmora::TFooterInformation::kColumnCount; ++column) {
      text_ = footer_.GetText(column);
      (void)footer_.ColumnColor(column);
    }
  }

 private:
  velmora::TFooterInformation& footer_;
  std::string text_;
  int picture_ = 1;
  int position_ = 0;
};

void Bind(velmora::TGame& game, Sink& sink, velmora::TLapTable& laps) {
  game.FNetwork.SetNetworkType(velmora::TNetworkType::ntClient);
  game.FTemps.SetData(&laps);
  game.FSession.FEtiquette = &sink;
  game.FSession.FEtiquetteTemps = &sink;
  game.FFooterInformation.SetVirtualTree(&sink);
  for (velmora::TPneu* tyre :
       {&game.FPneuAvantGauche, &game.FPneuAvantDroit, &game.FPneuArriereGauche, &game.FPneuArriereDroit}) {
    tyre->FTempExterieure.FPanel = &sink;
    tyre->FTempMilieu.FPanel = &sink;
    tyre->FTempInterieure.FPanel = &sink;
    tyre->FPression.FPanel = &sink;
    tyre->FDisqueFrein.FPanel = &sink;
    tyre->FUsure.FGauge = &sink;
    tyre->FVitesse.FPanel = &sink;
  }
  game.FEau.FPanel = &sink;
  game.FHuille.FPanel = &sink;
  game.FUsureMoteur.FPanel = &sink;
  game.FRapportVitesse.FEtiquette = &sink;
  game.FABS.FLed = &sink;
  game.FTraction.FLed = &sink;
  game.FStabilite.FLed = &sink;
  game.FEmbrayageLed.FLed = &sink;
  game.FLimiteur.FLed = &sink;
  game.FPhares.FLed = &sink;
  game.FContact.FLed = &sink;
  game.FMotorRPM.FLed = &sink;
  game.FAcceleration.FGauge = &sink;
  game.FFreinage.FGauge = &sink;
  game.FEmbrayage.FGauge = &sink;
  game.FVitesse.FEtiquette = &sink;
  game.FNombreTour.FEtiquette = &sink;
  game.FTemperatureAir.FEtiquette = &sink;
  game.FTemperaturePiste.FEtiquette = &sink;
  game.FHumidityRainfall.FEtiquette = &sink;
  game.FHumidityOnPath.FEtiquette = &sink;
  game.FHumidityOffPath.FEtiquette = &sink;
  game.FPrevisionMeteo.FEtiquette = &sink;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static StepClock clock;
  static velmora::TGame game(nullptr, clock);
  static Sink sink(game.FFooterInformation);
  static velmora::TLapTable laps;
  static const bool bound = (Bind(game, sink, laps), true);
  (void)bound;
  std::memset(&game.GameData, 0, sizeof game.GameData);
  std::memcpy(&game.GameData, data, std::min(size, sizeof game.GameData));
  game.FMetrique = size % 2 == 0;
  game.WriteAndDisplayClient();
  game.GameData.InCockpit = static_cast<std::uint8_t>(game.GameData.InCockpit == 0 ? 1 : 0);
  game.WriteAndDisplayClient();
  return 0;
}

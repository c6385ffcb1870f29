#include "race/footer_information.h"

#include "game/game.h"
#include "race/lap_time_text.h"
#include "values/rounding.h"

namespace velmora {

std::string FooterNumberText(double value, int decimals) {
  const auto rounded = RoundToDecimals(value, decimals);
  return GeneralNumberText(rounded ? *rounded : value);
}

std::string TFooterInformation::FormatValue(float ASingle) {
  return velmora::FormatValue(ASingle);
}

void TFooterInformation::SetVirtualTree(FooterTarget* AVirtualTree) {
  if (AVirtualTree == FVirtualTree) {
    return;
  }
  FVirtualTree = AVirtualTree;
  if (FVirtualTree != nullptr) {
    column_colors_ = {kTimeColumns, kTimeColumns, kTimeColumns, kFuelColumns, kFuelColumns, kFuelColumns};
  }
}

bool TFooterInformation::Ignored() const {
  return FVirtualTree == nullptr || FGame->FNetwork.NetworkType() == TNetworkType::ntServer;
}

void TFooterInformation::Repaint() {
  FVirtualTree->RepaintRow();
}

void TFooterInformation::SetIfDifferent(Slot slot, const std::string& text) {
  // The texts are digits and a point, so an exact comparison is as good as a case-blind one.
  if (FirstNodeData[slot] != text) {
    FirstNodeData[slot] = text;
    Repaint();
  }
}

void TFooterInformation::AddInformationMeilleurTourFinal(float AValue) {
  if (Ignored()) {
    return;
  }
  FirstNodeData[kMeilleurTour] = FormatValue(AValue);
  Repaint();
}

void TFooterInformation::AddInformationMeilleurTourSecteur1(float AValue) {
  if (Ignored()) {
    return;
  }
  FirstNodeData[kMeilleurTourSecteur1] = FormatValue(AValue);
  Repaint();
}

void TFooterInformation::AddInformationMeilleurTourSecteur2(float AValue) {
  if (Ignored()) {
    return;
  }
  FirstNodeData[kMeilleurTourSecteur2] = FormatValue(AValue);
  Repaint();
}

void TFooterInformation::AddInformationFuel(double AFuel) {
  if (Ignored()) {
    return;
  }
  SetIfDifferent(kFuel, FooterNumberText(AFuel, 1));
}

void TFooterInformation::AddInformationMoyenneFuel(double AMoyenneFuel) {
  if (Ignored()) {
    return;
  }
  SetIfDifferent(kMoyenneFuel, FooterNumberText(AMoyenneFuel, 2));
}

void TFooterInformation::AddInformationToursRestants(double AToursRestants) {
  if (Ignored()) {
    return;
  }
  std::string text;
  TTourRestant& laps_left = FGame->FTourRestant;
  if (AToursRestants == 0.0) {
    laps_left.SetBlinkOn(false);
  } else {
    text = FooterNumberText(AToursRestants, 1);
  }
  if (laps_left.BlinkOn()) {
    // While the warning is on the row is drawn every cycle, which is what moves the blink on.
    FirstNodeData[kToursRestants] = text;
    Repaint();
  } else {
    SetIfDifferent(kToursRestants, text);
  }
}

void TFooterInformation::BlinkStep() {
  Rgb& color = column_colors_[5];
  TTourRestant& laps_left = FGame->FTourRestant;
  if (!laps_left.BlinkOn()) {
    color = kFuelColumns;
    return;
  }
  const std::uint32_t now = FGame->TickCount();
  if (!platform::TicksElapsed(now, laps_left.BlinkTime, kBlinkStep_ms)) {
    return;
  }
  if (color == kFuelColumns) {
    const double left = laps_left.Value();
    color = left > 0.0 && left <= 1.0 ? kWarningRed : kWarningOrange;
  } else {
    color = kFuelColumns;
  }
  laps_left.BlinkTime = now;
}

std::string TFooterInformation::GetText(std::size_t column) {
  switch (column) {
    case 0:
      return FirstNodeData[kMeilleurTourSecteur1];
    case 1:
      return FirstNodeData[kMeilleurTourSecteur2];
    case 2:
      return FirstNodeData[kMeilleurTour];
    case 3:
      return FirstNodeData[kFuel];
    case 4:
      return FirstNodeData[kMoyenneFuel];
    case 5:
      BlinkStep();
      return FirstNodeData[kToursRestants];
    default:
      return {};
  }
}

}  // namespace velmora

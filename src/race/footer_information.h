#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "values/display_targets.h"

namespace velmora {

class TGame;

// The summary row's widget: the core keeps the row's texts and column colours, the widget draws them.
class FooterTarget {
 public:
  virtual ~FooterTarget() = default;
  // Draw the single row again; the widget asks the texts and colours anew through the footer.
  virtual void RepaintRow() = 0;
};

// The one-row summary under the lap grid: best lap and its intermediates, fuel left, average fuel per lap
// and laps left, the last blinking while fuel runs short.
class TFooterInformation final {
 public:
  static constexpr std::size_t kColumnCount = 6;
  static constexpr Rgb kTimeColumns{164, 238, 210};
  static constexpr Rgb kFuelColumns{255, 245, 179};
  static constexpr Rgb kWarningOrange{255, 128, 0};
  static constexpr Rgb kWarningRed{255, 0, 0};
  static constexpr std::uint32_t kBlinkStep_ms = 300;

  // The row record's eight texts.
  enum Slot : std::size_t {
    kAirTemperature = 0,
    kMoyenneFuel,
    kMeilleurTour,
    kMeilleurTourSecteur1,
    kMeilleurTourSecteur2,
    kFuel,
    kToursRestants,
    kTrackTemperature,
  };

  TGame* FGame;
  FooterTarget* FVirtualTree = nullptr;
  std::array<std::string, 8> FirstNodeData;

  explicit TFooterInformation(TGame& AOwner) : FGame(&AOwner) {}

  // Attaches the widget (null detaches) and gives the columns their resting colours.
  void SetVirtualTree(FooterTarget* AVirtualTree);

  void AddInformationMeilleurTourFinal(float AValue);
  void AddInformationMeilleurTourSecteur1(float AValue);
  void AddInformationMeilleurTourSecteur2(float AValue);
  void AddInformationFuel(double AFuel);
  void AddInformationMoyenneFuel(double AMoyenneFuel);
  void AddInformationToursRestants(double AToursRestants);

  // What the widget shows in `column` (0 to 5). Asking for the laps-left column also takes the warning's
  // blink one step when its time has come, so call it before ColumnColor when drawing.
  std::string GetText(std::size_t column);
  Rgb ColumnColor(std::size_t column) const { return column_colors_.at(column); }

  static std::string FormatValue(float ASingle);

 private:
  bool Ignored() const;
  void Repaint();
  void SetIfDifferent(Slot slot, const std::string& text);
  void BlinkStep();

  std::array<Rgb, kColumnCount> column_colors_{kTimeColumns, kTimeColumns, kTimeColumns,
                                               kFuelColumns, kFuelColumns, kFuelColumns};
};

// A fuel quantity as the summary row writes it: rounded to `decimals` places, halves to even, in the
// shortest general form ("37.5", "40", "2.63").
std::string FooterNumberText(double value, int decimals);

}  // namespace velmora

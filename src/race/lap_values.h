#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "race/lap_table.h"
#include "values/value_base.h"

namespace velmora {

// The lap grid's widget as the lap timing needs it: only its width, which the column layout divides.
class LapGridTarget {
 public:
  virtual ~LapGridTarget() = default;
  virtual int ClientWidth() const = 0;
};

// A new session: the lap grid loses its rows and the fuel average its samples.
void ClearLapGridAndFuelAverage(TGame& game);

// Index of the sector the driven car is in; 0 is the first sector of a lap. Its change to 0 is the
// crossing of the line, which settles the lap's fuel and maximum speed.
class TSecteurValue final : public TPerDriver<TValueSmallInt> {
 public:
  TextTarget* FEtiquette = nullptr;
  TGame* FGame;

  explicit TSecteurValue(TGame& AOwner) : FGame(&AOwner) {}
  std::int16_t Value() const { return FValue; }
  void SetValue(std::int16_t Value);
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, std::int16_t AValue);

 private:
  void LapCompleted();
};

// The simulator's lap count for the driven car. The row its laps fill is count + 1; its fall to 0 (a new
// session) empties the lap grid and the fuel average.
class TNombreTourValue final : public TPerDriver<TValueSmallInt> {
 public:
  TextTarget* FEtiquette = nullptr;
  TGame* FGame;

  explicit TNombreTourValue(TGame& AOwner) : FGame(&AOwner) {}
  void Affectation(std::uint32_t ABaseAddress, bool AActive) {
    TPerDriver::Affectation(ABaseAddress, AActive);
    FCountPending = true;
  }
  std::int16_t Value() const { return FValue; }
  void SetValue(std::int16_t Value);
  void Display();
  // Once after an attachment, before the cycle applies any time: a race joined under way must file the
  // lap in progress under its own number from the start. The count found is no new session. True when
  // it read the count, which then stands for the whole cycle.
  bool TakeFirstCount(TGame& AGame);
  void ReadAndDisplay(TGame& AGame);
  void WriteAndDisplayClient(TGame& AGame, std::int16_t AValue);

 private:
  bool FCountPending = false;
};

// The timing block of the driven car's record: last and best lap with their intermediates. It keeps the
// best sector splits, writes the lap grid's times and says which cells hold a best time.
//
// Times are in seconds; 0 and -1 mean that there is no time.
class TTemps final {
 public:
  static constexpr Rgb kBestTimeColor{0, 255, 128};

  bool FActive = false;
  std::uint32_t FAddress = 0;
  std::uint32_t FBaseAddress = 0;
  TLapTable* FData = nullptr;
  std::uint32_t FDeltaAddressDernierTourSecteur1 = 0;
  std::uint32_t FDeltaAddressDernierTourSecteur2 = 0;
  std::uint32_t FDeltaAddressMeilleurTourFinal = 0;
  std::uint32_t FDeltaAddressMeilleurTourSecteur1 = 0;
  std::uint32_t FDeltaAddressMeilleurTourSecteur2 = 0;
  float FDernierTour = 0.0F;
  float FDernierTourSecteur1 = 0.0F;
  float FDernierTourSecteur2 = 0.0F;
  TGame* FGame;
  LapGridTarget* FGrid = nullptr;
  // In the server role the connection thread takes the best times while the grid paints its highlights
  // from them on the main thread.
  std::atomic<float> FMeilleurSecteur1 = 0.0F;
  std::atomic<float> FMeilleurSecteur2 = 0.0F;
  std::atomic<float> FMeilleurSecteur3 = 0.0F;
  std::atomic<float> FMeilleurTour = 0.0F;
  std::atomic<float> FMeilleurTourSecteur1 = 0.0F;
  std::atomic<float> FMeilleurTourSecteur2 = 0.0F;
  bool FSecteurTime = false;

  explicit TTemps(TGame& AOwner) : FGame(&AOwner) {}
  void Affectation(std::uint32_t ABaseAddress, std::uint32_t ADeltaDernierTourSecteur1,
                   std::uint32_t ADeltaDernierTourSecteur2, std::uint32_t ADeltaMeilleurTourFinal,
                   std::uint32_t ADeltaMeilleurTourSecteur1, std::uint32_t ADeltaMeilleurTourSecteur2,
                   bool AActive);

  // Reads the six times of the driven car and applies them: best lap, its intermediates, then the last
  // lap's intermediates and the last lap.
  void ReadValue();
  void WriteAndDisplayClient(float AMeilleurTour, float AMeilleurTourSecteur1, float AMeilleurTourSecteur2,
                             float ADernierTour, float ADernierTourSecteur1, float ADernierTourSecteur2);

  // The lap grid's table and widget; either may be null (no grid is written, no width is known).
  TLapTable* Data() const { return FData; }
  void SetData(TLapTable* AData) { FData = AData; }
  LapGridTarget* Grid() const { return FGrid; }
  void SetGrid(LapGridTarget* AGrid) { FGrid = AGrid; }

  // False: the grid shows the intermediates ("Display Laps"); true: the sector splits ("Display Sector").
  bool SecteurTime() const { return FSecteurTime; }
  void SetSecteurTime(bool ASecteurTime);

  // The highlight of a grid cell holding `text` in `field`, when it shows the matching best time.
  std::optional<Rgb> CellColor(TLapField field, const std::string& text) const;

  // The driven car's best lap as the simulator keeps it (0 or -1: none yet).
  float MeilleurTour() const { return FMeilleurTour; }
  float MeilleurTourSecteur1() const { return FMeilleurTourSecteur1; }
  float MeilleurTourSecteur2() const { return FMeilleurTourSecteur2; }
  float MeilleurSecteur1() const { return FMeilleurSecteur1; }
  float MeilleurSecteur2() const { return FMeilleurSecteur2; }
  float MeilleurSecteur3() const { return FMeilleurSecteur3; }
  float DernierTour() const { return FDernierTour; }
  float DernierTourSecteur1() const { return FDernierTourSecteur1; }
  float DernierTourSecteur2() const { return FDernierTourSecteur2; }

  void SetMeilleurTour(float AValue);
  void SetMeilleurTourSecteur1(float AValue);
  void SetMeilleurTourSecteur2(float AValue);
  void SetMeilleurSecteur1(float AValue);
  void SetMeilleurSecteur2(float AValue);
  void SetMeilleurSecteur3(float AValue);
  void SetDernierTourSecteur1(float AValue);
  void SetDernierTourSecteur2(float AValue);
  void SetDernierTour(float AValue);

 private:
  // The row of the lap being driven, made when missing; none when rows are not written.
  std::optional<std::size_t> LapRow();
  bool WritesRows() const;
  void WriteDernierTourSecteur1();
  void WriteDernierTourSecteur2();
  void WriteDernierTour();
  void ShowLastRow();
  void BestChanged();
};

}  // namespace velmora

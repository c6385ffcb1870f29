#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "values/display_targets.h"

// What the weather gauges show and where, worked out without any toolkit: the Qt controls keep one of
// these models, forward their properties to it, repaint when a setter says so, and paint the layout it
// computes.
namespace velmora::gauges {

// The trend a gauge shows, from the value it had before the last one.
enum class TArrowIndicator : std::uint8_t { tiUp, tiDown, tiHorizontal };

// Space around the arrow picture, in pixels.
struct Margins {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  friend bool operator==(const Margins&, const Margins&) = default;
};

// A rectangle by its edges; right and bottom lie just outside it.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

enum class TextAlign : std::uint8_t { Left, Right };

// One line of text, vertically centred in `rect`. `emphasised` text is bold and 2 points larger; without
// a colour it takes the control's font colour.
struct TextItem {
  std::string text;
  Rect rect;
  TextAlign align = TextAlign::Left;
  bool emphasised = false;
  std::optional<Rgb> colour;
  friend bool operator==(const TextItem&, const TextItem&) = default;
};

// One picture of the control's image list, drawn with its top left corner at (x, y).
struct ImageItem {
  int index = -1;
  int x = 0;
  int y = 0;
  friend bool operator==(const ImageItem&, const ImageItem&) = default;
};

// What one paint draws, in this order: the background, the caption, the value text, the picture.
struct GaugePaint {
  std::optional<Rect> background;
  std::optional<TextItem> caption;
  std::optional<TextItem> value;
  std::optional<ImageItem> image;
};

// The size of the control and of the pictures of its image list (none: no list).
struct PaintArea {
  int width = 0;
  int height = 0;
  std::optional<int> image_width;
  std::optional<int> image_height;
  int left_margin = 3;  // the control's own layout margin
};

// Text colours of the wetness value.
inline constexpr Rgb kWetnessDry{0, 255, 0};
inline constexpr Rgb kWetnessLow{255, 202, 149};
inline constexpr Rgb kWetnessWarning{255, 128, 0};
inline constexpr Rgb kWetnessAlert{255, 81, 81};

// "55%" for 0.55: rounded with halves away from zero; "0%" at 0.005 and below.
std::string WetnessText(float value);
// "23.4°C", ".5°C", "-3.2°C", "74.1°F": one decimal, halves away from zero, no digit before the point
// between -1 and 1. Fahrenheit is worked out as a Single, as the gauge holds it.
std::string TemperatureText(float celsius, bool metrique);
// Colour by the exact value, not by the rounded text.
Rgb WetnessColour(float value, float limit_warning, float limit_alert);
TArrowIndicator Trend(float previous, float current);
// Which of the forecast's pictures (0 clear to 4 heavy showers) a value shows, by the fixed limits.
int ForecastPicture(float value);

// The wetness and temperature gauges: a caption on the left, the value text on the right and a trend
// arrow after it. Setters return true when the control must be repainted.
class TrendGauge {
 public:
  bool SetCaption(std::string_view caption);
  bool SetImageDown(int index) { return Change(FImageDown, index); }
  bool SetImageHorizontal(int index) { return Change(FImageHorizontal, index); }
  bool SetImageUp(int index) { return Change(FImageUp, index); }
  void SetImageMargins(Margins margins) { FImageMargins = margins; }
  void SetLimitAlert(float limit) { FLimitAlert = limit; }
  void SetLimitWarning(float limit) { FLimitWarning = limit; }

  TArrowIndicator Arrow() const { return FArrow; }
  const std::string& Caption() const { return FCaption; }
  const std::string& CaptionValue() const { return FCaptionValue; }
  int ImageDown() const { return FImageDown; }
  int ImageHorizontal() const { return FImageHorizontal; }
  int ImageUp() const { return FImageUp; }
  Margins ImageMargins() const { return FImageMargins; }
  float LimitAlert() const { return FLimitAlert; }
  float LimitWarning() const { return FLimitWarning; }
  float PreviousValue() const { return FPreviousValue; }
  float Value() const { return FValue; }

 protected:
  // Stores the value and its trend, and takes `text` as the value text; true when either shows.
  bool Apply(float value, const std::string& text);
  GaugePaint Layout(const PaintArea& area, std::optional<Rgb> value_colour) const;

 private:
  static bool Change(int& field, int value);

  TArrowIndicator FArrow = TArrowIndicator::tiHorizontal;
  std::string FCaption;
  std::string FCaptionValue;
  int FImageDown = -1;
  int FImageHorizontal = -1;
  Margins FImageMargins;
  int FImageUp = -1;
  float FLimitAlert = 0.5F;
  float FLimitWarning = 0.25F;
  float FPreviousValue = 0.0F;
  float FValue = 0.0F;
};

class WetnessGauge final : public TrendGauge {
 public:
  WetnessGauge();
  bool SetValue(float value);
  GaugePaint Paint(const PaintArea& area) const;
};

class TemperatureGauge final : public TrendGauge {
 public:
  TemperatureGauge();
  bool SetValue(float value);
  // Takes effect at the next SetValue; nothing to repaint now.
  void SetMetrique(bool metrique) { FMetrique = metrique; }
  bool Metrique() const { return FMetrique; }
  GaugePaint Paint(const PaintArea& area) const;

 private:
  bool FMetrique = false;
};

// The forecast: one weather picture chosen by the value. Its six limits and the storm picture are kept
// as properties; the choice rests on fixed limits.
class ForecastGauge final {
 public:
  static constexpr int kPictures = 6;

  bool SetValue(float value);
  bool SetImage(int picture, int index);
  int Image(int picture) const { return images_[picture]; }
  void SetLimit(int picture, float limit) { limits_[picture] = limit; }
  float Limit(int picture) const { return limits_[picture]; }
  float Value() const { return FValue; }
  GaugePaint Paint(const PaintArea& area) const;

 private:
  int images_[kPictures] = {-1, -1, -1, -1, -1, -1};
  float limits_[kPictures] = {};
  float FValue = 0.0F;
};

}  // namespace velmora::gauges

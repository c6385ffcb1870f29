#include "gauges/gauge_layout.h"

#include <cmath>
#include <cstdlib>

#include "values/rounding.h"

namespace velmora::gauges {
namespace {

// Number patterns settle their last digit with halves away from zero; std::round does exactly that.
std::optional<std::int64_t> RoundHalfAway(double value) {
  const double whole = std::round(value);
  if (!std::isfinite(whole) || std::abs(whole) >= 9.2e18) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(whole);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) {
      return false;
    }
  }
  return true;
}

// Half of a length, to the nearest whole pixel with halves to even.
int Half(int length) {
  return static_cast<int>(RoundHalfEven(static_cast<double>(length) / 2.0).value_or(0));
}

}  // namespace

std::string WetnessText(float value) {
  if (static_cast<double>(value) <= 0.005) {
    return "0%";
  }
  const double percent = static_cast<double>(value) * 100.0;
  const auto whole = RoundHalfAway(percent);
  if (!whole) {
    return GeneralNumberText(percent) + "%";
  }
  return std::to_string(*whole) + "%";
}

std::string TemperatureText(float celsius, bool metrique) {
  const float shown = metrique ? celsius : static_cast<float>(static_cast<double>(celsius) * 1.8 + 32.0);
  const char* unit = metrique ? "\u00B0C" : "\u00B0F";
  const auto tenths = RoundHalfAway(static_cast<double>(shown) * 10.0);
  if (!tenths) {
    return GeneralNumberText(shown) + unit;
  }
  const std::int64_t magnitude = *tenths < 0 ? -*tenths : *tenths;
  std::string text = *tenths < 0 ? "-" : "";
  if (magnitude >= 10) {
    text += std::to_string(magnitude / 10);
  }
  text += '.';
  text += static_cast<char>('0' + magnitude % 10);
  return text + unit;
}

Rgb WetnessColour(float value, float limit_warning, float limit_alert) {
  if (value == 0.0F) {
    return kWetnessDry;
  }
  if (value < limit_warning) {
    return kWetnessLow;
  }
  return value < limit_alert ? kWetnessWarning : kWetnessAlert;
}

TArrowIndicator Trend(float previous, float current) {
  if (current == previous) {
    return TArrowIndicator::tiHorizontal;
  }
  return current > previous ? TArrowIndicator::tiUp : TArrowIndicator::tiDown;
}

int ForecastPicture(float value) {
  if (value == 0.0F) {
    return 0;
  }
  if (value > 0.0F && value <= 0.25F) {
    return 1;
  }
  if (value > 0.25F && value <= 0.5F) {
    return 2;
  }
  if (value > 0.5F && value <= 0.75F) {
    return 3;
  }
  return 4;  // above 0.75, negative, or not a number
}

bool TrendGauge::Change(int& field, int value) {
  if (field == value) {
    return false;
  }
  field = value;
  return true;
}

bool TrendGauge::SetCaption(std::string_view caption) {
  if (FCaption == caption) {
    return false;
  }
  FCaption = caption;
  return true;
}

bool TrendGauge::Apply(float value, const std::string& text) {
  FPreviousValue = FValue;
  FValue = value;
  bool repaint = false;
  const TArrowIndicator arrow = Trend(FPreviousValue, FValue);
  if (arrow != FArrow) {
    FArrow = arrow;
    repaint = true;
  }
  if (!SameIgnoringCase(text, FCaptionValue)) {
    FCaptionValue = text;
    repaint = true;
  }
  return repaint;
}

GaugePaint TrendGauge::Layout(const PaintArea& area, std::optional<Rgb> value_colour) const {
  GaugePaint paint;
  Rect r{0, 0, area.width, area.height};
  paint.background = r;
  if (!FCaption.empty()) {
    paint.caption =
        TextItem{FCaption, {r.left + area.left_margin, r.top, r.right, r.bottom}, TextAlign::Left, false, {}};
  }
  const int image_width = area.image_width.value_or(0);
  r.right -= image_width + FImageMargins.Right + FImageMargins.Left;
  if (r.right <= 0) {
    // Too narrow for the arrow: the value text gets a one-pixel column and so practically vanishes.
    r.right = r.left + 1;
  }
  if (!FCaptionValue.empty()) {
    paint.value = TextItem{FCaptionValue, r, TextAlign::Right, true, value_colour};
  }
  if (area.image_width && area.image_height) {
    const int index = FArrow == TArrowIndicator::tiUp     ? FImageUp
                      : FArrow == TArrowIndicator::tiDown ? FImageDown
                                                          : FImageHorizontal;
    if (index != -1) {
      const int top = Half(std::abs(area.height - *area.image_height));
      paint.image = ImageItem{index, area.width - image_width - FImageMargins.Right, top};
    }
  }
  return paint;
}

WetnessGauge::WetnessGauge() {
  SetValue(0.0F);
}

bool WetnessGauge::SetValue(float value) {
  return Apply(value, WetnessText(value));
}

GaugePaint WetnessGauge::Paint(const PaintArea& area) const {
  return Layout(area, WetnessColour(Value(), LimitWarning(), LimitAlert()));
}

TemperatureGauge::TemperatureGauge() {
  // The first text is made before the unit is set, so a new gauge reads 32.0°F until its first value.
  SetValue(0.0F);
  FMetrique = true;
}

bool TemperatureGauge::SetValue(float value) {
  return Apply(value, TemperatureText(value, FMetrique));
}

GaugePaint TemperatureGauge::Paint(const PaintArea& area) const {
  return Layout(area, std::nullopt);
}

bool ForecastGauge::SetValue(float value) {
  if (value == FValue) {
    return false;
  }
  FValue = value;
  return true;
}

bool ForecastGauge::SetImage(int picture, int index) {
  if (images_[picture] == index) {
    return false;
  }
  images_[picture] = index;
  return true;
}

GaugePaint ForecastGauge::Paint(const PaintArea& area) const {
  GaugePaint paint;
  if (!area.image_width || !area.image_height) {
    return paint;
  }
  const int index = images_[ForecastPicture(FValue)];
  if (index != -1) {
    paint.image = ImageItem{index, Half(area.width) - Half(*area.image_width),
                            Half(area.height) - Half(*area.image_height)};
  }
  return paint;
}

}  // namespace velmora::gauges

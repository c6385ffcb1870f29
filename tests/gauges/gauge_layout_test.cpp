#include "gauges/gauge_layout.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace velmora::gauges {
namespace {

TEST(GaugeLayoutTest, WetnessTextIsRoundedButColourFollowsTheExactValue) {
  struct Case {
    float value;
    const char* text;
    Rgb colour;
  };
  const Case cases[] = {
      {0.0F, "0%", kWetnessDry},         {0.005F, "0%", kWetnessLow},     {0.0051F, "1%", kWetnessLow},
      {-0.2F, "0%", kWetnessLow},        {0.006F, "1%", kWetnessLow},     {0.125F, "13%", kWetnessLow},
      {0.2499F, "25%", kWetnessLow},     {0.25F, "25%", kWetnessWarning}, {0.3F, "30%", kWetnessWarning},
      {0.4999F, "50%", kWetnessWarning}, {0.5F, "50%", kWetnessAlert},    {0.55F, "55%", kWetnessAlert},
      {1.0F, "100%", kWetnessAlert},
  };
  for (const Case& c : cases) {
    WetnessGauge gauge;
    gauge.SetValue(c.value);
    EXPECT_EQ(gauge.CaptionValue(), c.text) << c.value;
    const GaugePaint paint = gauge.Paint({146, 16, 16, 16});
    ASSERT_TRUE(paint.value.has_value()) << c.value;
    EXPECT_EQ(paint.value->colour, c.colour) << c.value;
  }
}

TEST(GaugeLayoutTest, TemperatureTextHasOneDecimalAndNoLeadingZero) {
  struct Case {
    float celsius;
    bool metrique;
    const char* text;
  };
  const Case cases[] = {
      {23.4F, true, "23.4\u00B0C"},    {-3.2F, true, "-3.2\u00B0C"},  {0.5F, true, ".5\u00B0C"},
      {0.0F, true, ".0\u00B0C"},       {-0.5F, true, "-.5\u00B0C"},   {0.25F, true, ".3\u00B0C"},
      {-0.25F, true, "-.3\u00B0C"},    {-0.04F, true, ".0\u00B0C"},   {123.25F, true, "123.3\u00B0C"},
      {123.45F, true, "123.4\u00B0C"}, {20.0F, false, "68.0\u00B0F"}, {-10.0F, false, "14.0\u00B0F"},
      {23.4F, false, "74.1\u00B0F"},   {0.0F, false, "32.0\u00B0F"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TemperatureText(c.celsius, c.metrique), c.text) << c.celsius << " " << c.metrique;
  }
}

TEST(GaugeLayoutTest, ForecastPictureByTheFixedLimits) {
  struct Case {
    float value;
    int picture;
  };
  const Case cases[] = {
      {0.0F, 0},  {0.1F, 1},    {0.25F, 1}, {0.2501F, 2}, {0.5F, 2},
      {0.75F, 3}, {0.7501F, 4}, {1.0F, 4},  {-0.1F, 4},   {std::numeric_limits<float>::quiet_NaN(), 4}};
  for (const Case& c : cases) {
    EXPECT_EQ(ForecastPicture(c.value), c.picture) << c.value;
    ForecastGauge gauge;
    for (int picture = 0; picture < ForecastGauge::kPictures; ++picture) {
      gauge.SetImage(picture, 10 + picture);
    }
    gauge.SetValue(c.value);
    const GaugePaint paint = gauge.Paint({48, 48, 48, 48});
    ASSERT_TRUE(paint.image.has_value());
    EXPECT_EQ(paint.image->index, 10 + c.picture) << c.value;
  }
}

TEST(GaugeLayoutTest, ArrowFollowsTheTrendAndRepaintsOnlyWhatShows) {
  WetnessGauge gauge;
  EXPECT_EQ(gauge.Arrow(), TArrowIndicator::tiHorizontal);
  EXPECT_EQ(gauge.CaptionValue(), "0%");

  struct Step {
    float value;
    TArrowIndicator arrow;
    const char* text;
    bool repaint;
  };
  const Step steps[] = {
      {0.3F, TArrowIndicator::tiUp, "30%", true},
      {0.3F, TArrowIndicator::tiHorizontal, "30%", true},  // the arrow turns level once
      {0.3F, TArrowIndicator::tiHorizontal, "30%", false},
      {0.301F, TArrowIndicator::tiUp, "30%", true},
      {0.302F, TArrowIndicator::tiUp, "30%", false},  // same arrow, same text
      {0.1F, TArrowIndicator::tiDown, "10%", true},
  };
  for (const Step& step : steps) {
    EXPECT_EQ(gauge.SetValue(step.value), step.repaint) << step.value;
    EXPECT_EQ(gauge.Arrow(), step.arrow) << step.value;
    EXPECT_EQ(gauge.CaptionValue(), step.text);
  }
  EXPECT_FLOAT_EQ(gauge.PreviousValue(), 0.302F);

  EXPECT_TRUE(gauge.SetCaption("Rainfall :"));
  EXPECT_FALSE(gauge.SetCaption("Rainfall :"));
  EXPECT_TRUE(gauge.SetImageUp(2));
  EXPECT_FALSE(gauge.SetImageUp(2));
}

TEST(GaugeLayoutTest, TemperatureUnitShowsAtTheNextValueOnly) {
  TemperatureGauge gauge;
  // A new gauge formats its first text before it is told its unit.
  EXPECT_EQ(gauge.CaptionValue(), "32.0\u00B0F");
  EXPECT_TRUE(gauge.Metrique());
  EXPECT_TRUE(gauge.SetValue(20.0F));
  EXPECT_EQ(gauge.CaptionValue(), "20.0\u00B0C");
  gauge.SetMetrique(false);
  EXPECT_EQ(gauge.CaptionValue(), "20.0\u00B0C");
  EXPECT_TRUE(gauge.SetValue(20.0F));  // level arrow and a new text
  EXPECT_EQ(gauge.CaptionValue(), "68.0\u00B0F");
  // The temperature text keeps the font's colour whatever the limits.
  EXPECT_EQ(gauge.Paint({194, 16, 16, 16}).value->colour, std::nullopt);
}

TEST(GaugeLayoutTest, WetnessGaugeLaysOutCaptionValueAndArrow) {
  WetnessGauge gauge;
  gauge.SetCaption("On Path :");
  gauge.SetImageDown(0);
  gauge.SetImageHorizontal(1);
  gauge.SetImageUp(2);
  gauge.SetImageMargins({3, 3, 0, 0});
  gauge.SetValue(0.5F);

  const GaugePaint paint = gauge.Paint({146, 16, 16, 16});
  EXPECT_EQ(paint.background, (Rect{0, 0, 146, 16}));
  EXPECT_EQ(paint.caption, (TextItem{"On Path :", {3, 0, 146, 16}, TextAlign::Left, false, std::nullopt}));
  EXPECT_EQ(paint.value, (TextItem{"50%", {0, 0, 127, 16}, TextAlign::Right, true, kWetnessAlert}));
  EXPECT_EQ(paint.image, (ImageItem{2, 130, 0}));

  // A taller control centres the arrow, halves to even: (21 - 16) / 2 = 2.5 gives 2, (23 - 16) / 2 gives 4.
  EXPECT_EQ(gauge.Paint({146, 21, 16, 16}).image->y, 2);
  EXPECT_EQ(gauge.Paint({146, 23, 16, 16}).image->y, 4);

  // Narrower than the arrow and its margins: the value text is squeezed into one pixel at the left.
  const GaugePaint narrow = gauge.Paint({10, 16, 16, 16});
  EXPECT_EQ(narrow.value->rect, (Rect{0, 0, 1, 16}));
  EXPECT_EQ(narrow.image->x, -6);

  // Without an image list there is no arrow and no room kept for it.
  const GaugePaint bare = gauge.Paint({146, 16, std::nullopt, std::nullopt});
  EXPECT_FALSE(bare.image.has_value());
  EXPECT_EQ(bare.value->rect, (Rect{0, 0, 143, 16}));

  // An arrow without a picture draws nothing; an empty caption is not drawn.
  gauge.SetImageUp(-1);
  gauge.SetValue(0.6F);
  gauge.SetCaption("");
  const GaugePaint plain = gauge.Paint({146, 16, 16, 16});
  EXPECT_FALSE(plain.image.has_value());
  EXPECT_FALSE(plain.caption.has_value());
}

TEST(GaugeLayoutTest, ForecastCentresItsPictureAndNeedsAnImageList) {
  ForecastGauge gauge;
  EXPECT_FALSE(gauge.SetValue(0.0F));                             // already 0
  EXPECT_FALSE(gauge.Paint({48, 48, 48, 48}).image.has_value());  // no index set
  gauge.SetImage(0, 0);
  EXPECT_EQ(gauge.Paint({48, 48, 48, 48}).image, (ImageItem{0, 0, 0}));
  // Halves to even before the subtraction: 49 / 2 = 24.5 gives 24, 50 / 2 = 25.
  EXPECT_EQ(gauge.Paint({49, 50, 48, 48}).image, (ImageItem{0, 0, 1}));
  EXPECT_EQ(gauge.Paint({100, 60, 48, 48}).image, (ImageItem{0, 26, 6}));
  EXPECT_FALSE(gauge.Paint({48, 48, std::nullopt, std::nullopt}).image.has_value());
  EXPECT_FALSE(gauge.Paint({48, 48, 48, 48}).background.has_value());
  EXPECT_TRUE(gauge.SetValue(0.3F));
  EXPECT_FALSE(gauge.SetValue(0.3F));
}

}  // namespace
}  // namespace velmora::gauges

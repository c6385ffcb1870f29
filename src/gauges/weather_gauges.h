#pragma once

#include <QWidget>

#include "gauges/gauge_layout.h"
#include "values/weather_values.h"

namespace velmora::gauges {

class ImageList;

// The common base of the weather gauges: a custom-drawn control that paints what its model lays out.
class TVelmoraBase : public QWidget {
 public:
  explicit TVelmoraBase(const QString& name, QWidget* parent);

  // The space left of the caption.
  void SetLeftMargin(int pixels);
  int LeftMargin() const { return left_margin_; }

 protected:
  PaintArea Area(const ImageList* images) const;
  void PaintLayout(const GaugePaint& paint, const ImageList* images);

 private:
  int left_margin_ = 3;
};

// A caption, a value and a trend arrow: what the wetness and the temperature gauges have in common.
// `Model` lays the gauge out; `Target` is what the value arrives through.
template <typename Model, typename Target>
class TVelmoraTrendGauge : public TVelmoraBase, public Target {
 public:
  TVelmoraTrendGauge(const QString& name, QWidget* parent);

  void SetCaption(const QString& caption);
  void SetImageDown(int index);
  void SetImageHorizontal(int index);
  void SetImageUp(int index);
  void SetImageList(const ImageList* images);
  void SetImageMargins(Margins margins) { gauge_.SetImageMargins(margins); }
  void SetLimitAlert(float limit) { gauge_.SetLimitAlert(limit); }
  void SetLimitWarning(float limit) { gauge_.SetLimitWarning(limit); }
  void SetValue(double value) override;

  const Model& Gauge() const { return gauge_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void Repaint(bool needed);

  Model gauge_;

 private:
  const ImageList* images_ = nullptr;
};

// Both are built once, with the rest of the gauges.
extern template class TVelmoraTrendGauge<WetnessGauge, GaugeValueTarget>;
extern template class TVelmoraTrendGauge<TemperatureGauge, TemperatureGaugeTarget>;

// Wetness: caption, a percentage coloured by the two limits, and a trend arrow.
class TVelmoraHumiditySector final : public TVelmoraTrendGauge<WetnessGauge, GaugeValueTarget> {
 public:
  TVelmoraHumiditySector(const QString& name, QWidget* parent);
};

// Temperature: caption, the value in °C or °F in the font's colour, and a trend arrow.
class TVelmoraTemperatureTrack final : public TVelmoraTrendGauge<TemperatureGauge, TemperatureGaugeTarget> {
 public:
  using TVelmoraTrendGauge::TVelmoraTrendGauge;

  void SetMetrique(bool metrique) override { gauge_.SetMetrique(metrique); }
};

// The forecast: one weather picture, centred.
class TVelmoraForecast final : public TVelmoraBase, public GaugeValueTarget {
 public:
  TVelmoraForecast(const QString& name, QWidget* parent);

  // `picture` 0 (clear) to 5 (storm).
  void SetImage(int picture, int index);
  void SetImageList(const ImageList* images);
  void SetLimit(int picture, float limit) { gauge_.SetLimit(picture, limit); }
  void SetValue(double value) override;

  const ForecastGauge& Gauge() const { return gauge_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ForecastGauge gauge_;
  const ImageList* images_ = nullptr;
};

}  // namespace velmora::gauges

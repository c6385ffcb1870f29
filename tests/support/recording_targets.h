#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "values/display_targets.h"

namespace velmora::test {

// Display targets that remember what was shown and how often they were changed.
class RecordingPanel final : public PanelTarget {
 public:
  void SetText(std::string_view text) override {
    text_ = text;
    ++text_writes_;
  }
  void SetColor(Rgb color) override {
    color_ = color;
    ++color_writes_;
  }
  const std::string& Text() const { return text_; }
  Rgb Color() const { return color_; }
  int TextWrites() const { return text_writes_; }
  int ColorWrites() const { return color_writes_; }

 private:
  std::string text_;
  Rgb color_{};
  int text_writes_ = 0;
  int color_writes_ = 0;
};

class RecordingLabel final : public TextTarget {
 public:
  void SetText(std::string_view text) override {
    text_ = text;
    ++writes_;
  }
  const std::string& Text() const { return text_; }
  int Writes() const { return writes_; }

 private:
  std::string text_;
  int writes_ = 0;
};

class RecordingPicture final : public PictureTarget {
 public:
  explicit RecordingPicture(int initial = 1) : picture_(initial) {}
  int Picture() const override { return picture_; }
  void ShowPicture(int picture) override {
    picture_ = picture;
    ++changes_;
  }
  int Changes() const { return changes_; }

 private:
  int picture_;
  int changes_ = 0;
};

class RecordingGauge final : public PositionTarget {
 public:
  int Position() const override { return position_; }
  void SetPosition(int position) override {
    position_ = position;
    ++changes_;
  }
  int Changes() const { return changes_; }

 private:
  int position_ = 0;
  int changes_ = 0;
};

class RecordingWeatherGauge final : public GaugeValueTarget {
 public:
  void SetValue(double value) override { values_.push_back(value); }
  const std::vector<double>& Values() const { return values_; }

 private:
  std::vector<double> values_;
};

}  // namespace velmora::test

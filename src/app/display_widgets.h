#pragma once

#include <QHash>
#include <QLabel>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <array>
#include <limits>
#include <memory>
#include <string>

#include "app/character_run.h"
#include "values/display_targets.h"

class QSvgRenderer;

namespace velmora::app {

// Puts a widget that the dashboard places by hand at `where` and keeps it at that size. A label of fixed
// size does not ask its parent for a new layout at every new text; the window's scaling gives it its
// scaled size as a fixed size in turn.
void PlaceFixed(QWidget& widget, const QRect& where);

// A panel: text on a background colour, as the temperature and pressure panels show their values. It draws
// the fill in its own colour and the text, in its font and foreground colour, from glyphs looked up once. Its
// figures change at every cycle: a label would lay out each new text, and announce it, at a cost larger than
// the drawing.
class PanelWidget final : public QWidget, public PanelTarget {
 public:
  PanelWidget(const QString& name, QWidget* parent);
  void SetText(std::string_view text) override;
  void SetColor(Rgb color) override;
  Rgb Color() const { return color_; }
  QString Text() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::string text_;  // UTF-8
  Rgb color_{};
  CharacterRun characters_;
};

// A label that shows a text, given through SetText only. Hidden, as the debug window's is until it is
// opened, it keeps the last text for when it is shown: that one changes at every cycle.
class LabelWidget final : public QLabel, public TextTarget {
 public:
  LabelWidget(const QString& name, QWidget* parent);
  void SetText(std::string_view text) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowText();

  std::string text_;   // UTF-8, the last set
  bool shown_ = true;  // whether the label's own text is text_
};

// A label in a font too large for the painter's glyph cache, as the gear is shown: the characters of such a
// font are filled from their outlines at every paint. Each text shown is drawn once into a picture, and
// painted from there while the font, colours and size stay.
class LargeTextLabel final : public QLabel, public TextTarget {
 public:
  LargeTextLabel(const QString& name, QWidget* parent);
  void SetText(std::string_view text) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  static constexpr qsizetype kMaxPictures = 16;
  QHash<QString, QPixmap> pictures_;
};

// A state image: one of up to three pictures, or none.
class StateImage final : public QWidget, public PictureTarget {
 public:
  // `pictures` are resource paths of SVG drawings for pictures 1, 2 and 3; empty where there is none.
  StateImage(const QString& name, std::array<QString, 3> pictures, int initial, QWidget* parent);
  ~StateImage() override;
  int Picture() const override { return picture_; }
  void ShowPicture(int picture) override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::array<std::unique_ptr<QSvgRenderer>, 3> renderers_;
  int picture_;
};

// A bar gauge from 0 to 100 with its value written across it: the pedals and the tyre wear. It draws
// itself rather than being a styled progress bar, which repaints on the spot at every new value and draws
// through the style sheet machinery; the pedals change at every cycle.
class BarGauge final : public QWidget, public PositionTarget {
 public:
  BarGauge(const QString& name, Qt::Orientation orientation, const QColor& color, QWidget* parent);
  // The position last set, also where it lies past the range the bar can draw; kNothingShown until the
  // first one, so that a first 0 is drawn too instead of being taken for the shown one.
  int Position() const override { return position_; }
  void SetPosition(int position) override;
  // What the bar shows: the position brought into 0..100.
  int Value() const { return value_; }
  QString Text() const;

  static constexpr int kNothingShown = std::numeric_limits<int>::min();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QRect Inside() const;           // within the frame
  QRect Filled(int value) const;  // the bar's part filled at `value`
  Qt::Orientation orientation_;
  QColor color_;
  CharacterRun characters_;
  int position_ = kNothingShown;
  int value_ = 0;
};

}  // namespace velmora::app

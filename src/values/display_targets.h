#pragma once

#include <cstdint>
#include <string_view>

// What a value object may do to the widget it shows itself on. The core declares these; the dashboard
// implements them on its widgets and the tests with recording fakes. A value holds a non-owning pointer to
// its target, null when the window binds none.
namespace velmora {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A label: text only.
class TextTarget {
 public:
  virtual ~TextTarget() = default;
  virtual void SetText(std::string_view text) = 0;
};

// A panel: text on a coloured background.
class PanelTarget : public TextTarget {
 public:
  virtual void SetColor(Rgb color) = 0;
};

// A state image holding up to three pictures. Picture 0 shows none.
class PictureTarget {
 public:
  virtual ~PictureTarget() = default;
  virtual int Picture() const = 0;
  virtual void ShowPicture(int picture) = 0;
};

// A bar gauge, 0 to 100.
class PositionTarget {
 public:
  virtual ~PositionTarget() = default;
  virtual int Position() const = 0;
  virtual void SetPosition(int position) = 0;
};

// A weather gauge: it draws its own caption from the value it is given.
class GaugeValueTarget {
 public:
  virtual ~GaugeValueTarget() = default;
  virtual void SetValue(double value) = 0;
};

}  // namespace velmora

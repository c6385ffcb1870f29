#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <array>

class QSvgRenderer;

namespace velmora::app {

// The About box: the program's picture with its version, and six areas of the picture that open the
// author's mail, the web site and the pages of four people credited.
class TAboutBox final : public QDialog {
 public:
  explicit TAboutBox(QWidget* parent = nullptr);
  ~TAboutBox() override;

  // Each click area with what it opens: `Panel1` the mail, `Panel2` the web site, `Panel3` to `Panel6`
  // the credits.
  struct ClickArea {
    const char* name;
    const char* element;  // its rectangle in the picture
    const char* target;
  };
  static const std::array<ClickArea, 6> kClickAreas;

  QLabel* Label2;
  QPushButton* OKButton;

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QSvgRenderer* picture_;
};

}  // namespace velmora::app

#include "app/about_box.h"

#include <QDesktopServices>
#include <QFont>
#include <QPainter>
#include <QSvgRenderer>

#include "platform/application_version.h"

namespace velmora::app {

const std::array<TAboutBox::ClickArea, 6> TAboutBox::kClickAreas = {{
    {"Panel1", "area_contact", "mailto:author@velmora.example"},
    {"Panel2", "area_web_site", "https://velmora.example/"},
    {"Panel3", "area_credit_1", "https://velmora.example/credits/testing"},
    {"Panel4", "area_credit_2", "https://velmora.example/credits/track-data"},
    {"Panel5", "area_credit_3", "https://velmora.example/credits/translation"},
    {"Panel6", "area_credit_4", "https://velmora.example/credits/artwork"},
}};

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      picture_(new QSvgRenderer(QStringLiteral(":/assets/about.svg"), this)) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About"));
  setFixedSize(800, 600);
  setModal(true);

  Label2 = new QLabel(this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setGeometry(picture_->boundsOnElement(QStringLiteral("area_version")).toRect());
  Label2->setAlignment(Qt::AlignCenter);
  Label2->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(27);
  font.setBold(true);
  Label2->setFont(font);

  for (const ClickArea& area : kClickAreas) {
    auto* button = new QPushButton(this);
    button->setObjectName(QString::fromLatin1(area.name));
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(QStringLiteral("border: none; background: transparent;"));
    button->setGeometry(picture_->boundsOnElement(QString::fromLatin1(area.element)).toAlignedRect());
    const QUrl target(QString::fromLatin1(area.target));
    connect(button, &QPushButton::clicked, this, [target] { QDesktopServices::openUrl(target); });
  }

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  OKButton->setGeometry(360, 548, 80, 32);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::showEvent(QShowEvent* event) {
  Label2->setText(QString::fromStdString(platform::ApplicationVersion()));
  if (parentWidget() != nullptr) {
    move(parentWidget()->frameGeometry().center() - rect().center());
  }
  QDialog::showEvent(event);
}

void TAboutBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  picture_->render(&painter, rect());
}

}  // namespace velmora::app

#include "app/session_panel.h"

#include <QFont>
#include <QLabel>

#include "race/session.h"

namespace velmora::app {

SessionPanel::SessionPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CategoryPanel2"));
  resize(kWidth, kHeight);
  auto* header = new QLabel(QStringLiteral("Session"), this);
  header->setGeometry(0, 0, kWidth, 20);
  QFont header_font(QStringLiteral("Arial"));
  header_font.setPixelSize(13);
  header_font.setBold(false);
  header->setFont(header_font);
  header->setStyleSheet(QStringLiteral("color: white; background: black;"));

  QFont name_font(QStringLiteral("Arial"));
  name_font.setPixelSize(13);
  name_font.setBold(true);
  lbl_SessionGTR = new LabelWidget(QStringLiteral("lbl_SessionGTR"), this);
  lbl_SessionGTR->setGeometry(4, 20, 89, 20);
  lbl_SessionGTR->setFont(name_font);
  lbl_SessionGTR->setText(QStringLiteral("N/A"));

  QFont time_font(QStringLiteral("Arial"));
  time_font.setPixelSize(16);
  time_font.setBold(true);
  lbl_TempsSession = new LabelWidget(QStringLiteral("lbl_TempsSession"), this);
  lbl_TempsSession->setGeometry(93, 20, kWidth - 97, 20);
  lbl_TempsSession->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lbl_TempsSession->setFont(time_font);
  lbl_TempsSession->setText(QStringLiteral("N/A"));
}

void SessionPanel::Bind(TSessionGTR& session) {
  session.FEtiquette = lbl_SessionGTR;
  session.FEtiquetteTemps = lbl_TempsSession;
}

}  // namespace velmora::app

#include "app/network_dialog.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "app/utf8_text.h"
#include "net/network.h"
#include "net/network_address.h"

namespace velmora::app {

TOKRightDlg::TOKRightDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("OKRightDlg"));
  setWindowTitle(QStringLiteral("Network"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  LabeledEdit1 = new QLineEdit(this);
  LabeledEdit1->setObjectName(QStringLiteral("LabeledEdit1"));
  // Typing is limited to digits and dots; the address itself is judged on closing.
  LabeledEdit1->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), LabeledEdit1));
  LabeledEdit2 = new QLineEdit(this);
  LabeledEdit2->setObjectName(QStringLiteral("LabeledEdit2"));
  LabeledEdit2->setMaxLength(5);
  LabeledEdit2->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), LabeledEdit2));
  form->addRow(QStringLiteral("IP address (use only for Client) :"), LabeledEdit1);
  form->addRow(QStringLiteral("Port (1->65535) :"), LabeledEdit2);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  setFixedSize(sizeHint());
  ShowMessage = [this](const QString& text) { QMessageBox::critical(this, windowTitle(), text); };
}

int TOKRightDlg::Edit(TNetwork& network) {
  LabeledEdit1->setText(QString::fromStdString(network.FIP));
  LabeledEdit2->setText(QString::number(network.FPort));
  LabeledEdit1->setFocus();
  const int result = exec();
  if (result == QDialog::Accepted) {
    network.FIP = LabeledEdit1->text().toStdString();
    network.FPort = *ParsePort(LabeledEdit2->text().toStdString());
  }
  return result;
}

bool TOKRightDlg::CheckEntries() {
  if (!IsValidIP(LabeledEdit1->text().toStdString())) {
    ShowMessage(Utf8Text(kMessageIpNotValid));
    LabeledEdit1->setFocus();
    return false;
  }
  if (!ParsePort(LabeledEdit2->text().toStdString())) {
    ShowMessage(Utf8Text(kMessagePortNotValid));
    LabeledEdit2->setFocus();
    return false;
  }
  return true;
}

void TOKRightDlg::done(int result) {
  if (CheckEntries()) {
    QDialog::done(result);
  }
}

void TOKRightDlg::closeEvent(QCloseEvent* event) {
  if (CheckEntries()) {
    QDialog::closeEvent(event);
  } else {
    event->ignore();
  }
}

}  // namespace velmora::app

#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLineEdit;

namespace velmora {
class TNetwork;
}

namespace velmora::app {

// The network settings: the server's address (used by a client) and the port. The entries are checked
// whenever the dialog is about to close, whatever closes it; a bad one keeps it open.
class TOKRightDlg final : public QDialog {
 public:
  explicit TOKRightDlg(QWidget* parent = nullptr);

  // Shows `network`'s address and port, runs modally, and on OK stores the entries back.
  int Edit(TNetwork& network);

  QLineEdit* LabeledEdit1 = nullptr;  // address
  QLineEdit* LabeledEdit2 = nullptr;  // port
  // How a bad entry is reported: an error message box unless replaced.
  std::function<void(const QString&)> ShowMessage;

  void done(int result) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Shows the message of the first bad entry and focuses it; true when both are good.
  bool CheckEntries();
};

}  // namespace velmora::app

#pragma once

#include <QDialog>

class QLabel;

namespace velmora::app {

// Shown while the installer downloads: the received and expected kilobytes and a busy animation. It has
// no cancel button and cannot be closed by the user; the end of the download hides it.
class TDownloadProgressWindow final : public QDialog {
 public:
  explicit TDownloadProgressWindow(QWidget* parent);

  void SetInfoText(const QString& text);
  QString InfoText() const;

 protected:
  void reject() override {}
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* info_ = nullptr;
};

}  // namespace velmora::app

#include "app/download_progress_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace velmora::app {

TDownloadProgressWindow::TDownloadProgressWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("DownloadProgress"));
  setWindowTitle(QStringLiteral("Velmora Download"));
  setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(this);
  auto* animation = new QProgressBar;
  animation->setObjectName(QStringLiteral("Download"));
  animation->setRange(0, 0);  // runs for as long as the transfer does
  animation->setTextVisible(false);
  layout->addWidget(animation);
  info_ = new QLabel;
  info_->setObjectName(QStringLiteral("lbl_Info"));
  info_->setAlignment(Qt::AlignCenter);
  info_->setMinimumWidth(240);
  layout->addWidget(info_);
}

void TDownloadProgressWindow::SetInfoText(const QString& text) {
  info_->setText(text);
}

QString TDownloadProgressWindow::InfoText() const {
  return info_->text();
}

void TDownloadProgressWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
}

}  // namespace velmora::app

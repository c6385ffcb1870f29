#include "app/network_shell.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>
#include <system_error>

#include "app/network_dialog.h"
#include "app/utf8_text.h"
#include "game/game.h"
#include "game/game_link.h"
#include "net/network_endpoints.h"
#include "platform/application_version.h"

namespace velmora::app {

NetworkShell::NetworkShell(QWidget& window, TGameLink& link, DetectionTimer& timer)
    : window_(window),
      link_(link),
      dialog_(new TOKRightDlg(&window)),
      endpoints_(std::make_unique<TNetworkEndpoints>(link, timer, *this, platform::ApplicationVersion())) {
  // Lets a machine (or a test) keep the server to one of its addresses.
  endpoints_->SetBindAddress(qEnvironmentVariable("VELMORA_SERVER_ADDRESS").toStdString());
}

NetworkShell::~NetworkShell() {
  endpoints_.reset();
}

void NetworkShell::SwitchRole(TNetworkType role) {
  try {
    link_.Game().FNetwork.SetNetworkType(role);
  } catch (const std::system_error& error) {
    QMessageBox::critical(&window_, QApplication::applicationName(),
                          QStringLiteral("The server cannot listen on port %1: %2")
                              .arg(link_.Game().FNetwork.Port16())
                              .arg(QString::fromLocal8Bit(error.what())));
  }
}

void NetworkShell::OpenSetting() {
  dialog_->Edit(link_.Game().FNetwork);
}

void NetworkShell::CloseForQuit(bool ask) {
  endpoints_->CloseForQuit(ask);
}

void NetworkShell::SetDataInterval(int milliseconds) {
  endpoints_->SetDataInterval(std::chrono::milliseconds(milliseconds));
}

void NetworkShell::ShowError(std::string_view message) {
  const QString text = Utf8Text(message);
  QMetaObject::invokeMethod(
      this,
      [this, text] {
        if (!showing_.insert(text).second) {
          return;
        }
        QMessageBox::critical(&window_, QApplication::applicationName(), text);
        showing_.erase(text);
      },
      Qt::QueuedConnection);
}

bool NetworkShell::AskReconnect() {
  const auto answer = QMessageBox::question(&window_, QApplication::applicationName(),
                                            QStringLiteral("Disconnected !\r\n\r\nDo you want reconnect?"),
                                            QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
  return answer == QMessageBox::Ok;
}

void NetworkShell::ProcessMessages() {
  QApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace velmora::app

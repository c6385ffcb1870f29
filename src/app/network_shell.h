#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <set>

#include "net/client_session.h"
#include "net/network.h"

namespace velmora {
class DetectionTimer;
class TGameLink;
class TNetworkEndpoints;
}  // namespace velmora

namespace velmora::app {

class TOKRightDlg;

// The network roles in the dashboard: the endpoints, the messages they show, and what the "Network"
// menu's items do.
class NetworkShell final : public QObject, public NetworkUi {
 public:
  NetworkShell(QWidget& window, TGameLink& link, DetectionTimer& timer);
  ~NetworkShell() override;

  // The role items: switches the role; a server port that cannot be opened is reported here.
  void SwitchRole(TNetworkType role);
  // "Setting": the network dialog.
  void OpenSetting();
  // The quit command and the close box: a connected client is closed first, asking the user when `ask`.
  void CloseForQuit(bool ask = true);
  // The "Scan" menu's interval paces the client's polls.
  void SetDataInterval(int milliseconds);

  TOKRightDlg& Dialog() { return *dialog_; }

  void ShowError(std::string_view message) override;
  bool AskReconnect() override;
  void ProcessMessages() override;

 private:
  QWidget& window_;
  TGameLink& link_;
  TOKRightDlg* dialog_;
  // A message raised by the reception thread is shown on the main thread without making the thread
  // wait; one box per text at a time, so a stalled server cannot pile them up.
  std::set<QString> showing_;
  std::unique_ptr<TNetworkEndpoints> endpoints_;
};

}  // namespace velmora::app

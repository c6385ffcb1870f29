#pragma once

class QAction;
class QMenuBar;

namespace velmora::app {

class NetworkShell;

// The "Network" menu: the three roles as radio items, then "Setting".
struct NetworkMenu {
  QAction* Standalone1 = nullptr;
  QAction* Server1 = nullptr;
  QAction* Client1 = nullptr;
  QAction* Setting1 = nullptr;
};

NetworkMenu AddNetworkMenu(QMenuBar& bar, NetworkShell& shell);

}  // namespace velmora::app

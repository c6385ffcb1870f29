#include "app/network_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "app/network_shell.h"

namespace velmora::app {
namespace {

QAction* RoleItem(QMenu& menu, QActionGroup& group, const char* name, const char* text) {
  QAction* item = menu.addAction(QString::fromLatin1(text));
  item->setObjectName(QString::fromLatin1(name));
  item->setCheckable(true);
  group.addAction(item);
  return item;
}

}  // namespace

NetworkMenu AddNetworkMenu(QMenuBar& bar, NetworkShell& shell) {
  QMenu* menu = bar.addMenu(QStringLiteral("Network"));
  menu->setObjectName(QStringLiteral("Network1"));
  auto* roles = new QActionGroup(menu);
  roles->setExclusive(true);
  NetworkMenu items;
  items.Standalone1 = RoleItem(*menu, *roles, "Standalone1", "Stand alone");
  items.Server1 = RoleItem(*menu, *roles, "Server1", "Server");
  items.Client1 = RoleItem(*menu, *roles, "Client1", "Client");
  items.Standalone1->setChecked(true);
  menu->addSeparator();
  items.Setting1 = menu->addAction(QStringLiteral("Setting"));
  items.Setting1->setObjectName(QStringLiteral("Setting1"));
  QObject::connect(items.Standalone1, &QAction::triggered, &shell,
                   [&shell] { shell.SwitchRole(TNetworkType::ntStandalone); });
  QObject::connect(items.Server1, &QAction::triggered, &shell,
                   [&shell] { shell.SwitchRole(TNetworkType::ntServer); });
  QObject::connect(items.Client1, &QAction::triggered, &shell,
                   [&shell] { shell.SwitchRole(TNetworkType::ntClient); });
  QObject::connect(items.Setting1, &QAction::triggered, &shell, [&shell] { shell.OpenSetting(); });
  return items;
}

}  // namespace velmora::app

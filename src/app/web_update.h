#pragma once

#include <QObject>
#include <QTimer>
#include <string>

#include "app/upgrade_dialog.h"
#include "update/version_check.h"
#include "update/web_update_settings.h"

class QAction;
class QMenu;
class QWidget;

namespace velmora::app {

// The items of the "Update" menu, wherever they were made.
struct TUpdateMenuItems {
  QAction* Active1 = nullptr;
  QAction* Beta1 = nullptr;
  QAction* Realase1 = nullptr;
  QAction* N0day1 = nullptr;
  QAction* N1day1 = nullptr;
  QAction* N7day1 = nullptr;
  QAction* N15day1 = nullptr;
  QAction* CheckUpdateNow1 = nullptr;
};

// The update check of the main window: the "Update" menu, the check 3 s after start, "Check Update Now",
// the upgrade dialog, the installer download with its progress window and the start of the installer; on
// Linux the download of the package, which is then shown in its folder.
class TWebUpdate final : public QObject {
 public:
  // `platform` chooses which files of the history count; only a Windows build starts what it downloaded.
  TWebUpdate(QWidget& window, update::TWebUpdateStore store, std::string running_version,
             update::TPlatform platform = update::kThisPlatform);

  // Fills the "Update" menu; the items carry the names under which the settings file keeps their marks.
  void BuildMenu(QMenu& menu);
  // Acts on the items of a menu made elsewhere: their marks are the options, "Check Update Now" checks.
  void Attach(const TUpdateMenuItems& items);
  // Re-applies the channel and interval marks to the settings (the window's Init).
  void ApplyMarks();
  // Starts TimerUpdate: 3000 ms later, once, the check runs when "Automatic Update" is checked.
  void StartTimer();
  // "Check Update Now": the whole check, modal on the main thread.
  void RunCheck();
  // At close: the HTTP location is emptied and the settings stored, so the base location stays out of
  // the settings file.
  void StoreAtClose();

  update::TWebUpdateSettings& Settings() { return settings_; }
  QTimer& TimerUpdate() { return timer_update_; }

  const TUpdateMenuItems& Items() const { return items_; }

 private:
  void TimerUpdateTimer();
  void VersionCheck();
  void DownloadAndStart(const update::TReleaseEntry& release, TUpgradeOperation operation,
                        const QString& local_directory);

  QWidget& window_;
  update::TWebUpdateStore store_;
  update::TWebUpdateSettings settings_;
  std::string running_;
  update::TPlatform platform_;
  TUpdateMenuItems items_;
  QTimer timer_update_;
  bool checking_ = false;
};

// Whether the machine is online, as far as the platform can tell; online when it cannot tell.
bool InternetConnection();

}  // namespace velmora::app

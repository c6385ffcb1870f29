#include "app/web_update.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QNetworkInformation>
#include <QPointer>
#include <QProcess>
#include <QThread>
#include <QUrl>

#include "app/download_progress_window.h"

namespace velmora::app {
namespace {

constexpr int kStartupDelayMs = 3000;

QAction* AddCheckItem(QMenu& menu, const char* name, const char* caption, bool checked, QActionGroup* group) {
  QAction* action = menu.addAction(QString::fromLatin1(caption));
  action->setObjectName(QString::fromLatin1(name));
  action->setCheckable(true);
  action->setChecked(checked);
  if (group != nullptr) {
    group->addAction(action);
  }
  return action;
}

// A working folder for a started installer that no ordinary user can write to: Windows' system folder.
QString CleanWorkingFolder() {
  const QString system_root = qEnvironmentVariable("SystemRoot");
  return system_root.isEmpty() ? QDir::rootPath() : system_root + QStringLiteral("/System32");
}

}  // namespace

bool InternetConnection() {
  if (QNetworkInformation::instance() == nullptr) {
    QNetworkInformation::loadDefaultBackend();
  }
  const QNetworkInformation* information = QNetworkInformation::instance();
  return information == nullptr ||
         information->reachability() != QNetworkInformation::Reachability::Disconnected;
}

TWebUpdate::TWebUpdate(QWidget& window, update::TWebUpdateStore store, std::string running_version,
                       update::TPlatform platform)
    : QObject(&window),
      window_(window),
      store_(std::move(store)),
      running_(std::move(running_version)),
      platform_(platform) {
  settings_.LocalDirectory = update::DefaultUpdateDirectory();
  // A check stores the settings before it reads them back, so the last real check must be known from
  // the start: otherwise every new start would forget it and "1 day", "7 days" and "15 days" would check
  // at every start. The other settings follow the menu marks and the window.
  settings_.LastCheck = store_.Load(settings_).LastCheck;
  timer_update_.setObjectName(QStringLiteral("TimerUpdate"));
  timer_update_.setSingleShot(true);
  // A coarse timer may fire up to 5 % early; the check is promised 3 s after start, not before.
  timer_update_.setTimerType(Qt::PreciseTimer);
  timer_update_.setInterval(kStartupDelayMs);
  connect(&timer_update_, &QTimer::timeout, this, &TWebUpdate::TimerUpdateTimer);
}

void TWebUpdate::BuildMenu(QMenu& menu) {
  TUpdateMenuItems items;
  items.Active1 = AddCheckItem(menu, "Active1", "Automatic Update", true, nullptr);
  menu.addSeparator();
  auto* channel = new QActionGroup(&menu);
  items.Beta1 = AddCheckItem(menu, "Beta1", "Beta", false, channel);
  items.Realase1 = AddCheckItem(menu, "Realase1", "Realase", true, channel);
  menu.addSeparator();
  QMenu* interval = menu.addMenu(QStringLiteral("Interval"));
  interval->setObjectName(QStringLiteral("Interval1"));
  auto* intervals = new QActionGroup(interval);
  items.N0day1 = AddCheckItem(*interval, "N0day1", "At startup", true, intervals);
  items.N1day1 = AddCheckItem(*interval, "N1day1", "1 day", false, intervals);
  items.N7day1 = AddCheckItem(*interval, "N7day1", "7 days", false, intervals);
  items.N15day1 = AddCheckItem(*interval, "N15day1", "15 days", false, intervals);
  menu.addSeparator();
  items.CheckUpdateNow1 = menu.addAction(QStringLiteral("Check Update Now"));
  items.CheckUpdateNow1->setObjectName(QStringLiteral("CheckUpdateNow1"));
  Attach(items);
}

void TWebUpdate::Attach(const TUpdateMenuItems& items) {
  items_ = items;
  for (QAction* item :
       {items.Beta1, items.Realase1, items.N0day1, items.N1day1, items.N7day1, items.N15day1}) {
    connect(item, &QAction::triggered, this, &TWebUpdate::ApplyMarks);
  }
  connect(items.CheckUpdateNow1, &QAction::triggered, this, &TWebUpdate::RunCheck);
  ApplyMarks();
}

void TWebUpdate::ApplyMarks() {
  if (items_.Beta1 == nullptr) {
    return;
  }
  settings_.AllowedReleaseType =
      items_.Beta1->isChecked() ? update::TReleaseType::rtBeta : update::TReleaseType::rtProduction;
  settings_.CheckFrequency = items_.N0day1->isChecked()   ? 0
                             : items_.N1day1->isChecked() ? 1
                             : items_.N7day1->isChecked() ? 7
                                                          : 15;
}

void TWebUpdate::StartTimer() {
  timer_update_.start();
}

void TWebUpdate::TimerUpdateTimer() {
  timer_update_.stop();
  if (items_.Active1 == nullptr || items_.Active1->isChecked()) {
    RunCheck();
  }
}

void TWebUpdate::RunCheck() {
  // The check is a modal sequence; a second request while one runs (the menu stays reachable behind a
  // message box) would only repeat it.
  if (checking_ || !InternetConnection()) {
    return;
  }
  // Without a location (none built in, none in the environment) there is nothing to ask.
  const QString base = update::UpdateBaseLocation();
  if (base.isEmpty()) {
    return;
  }
  checking_ = true;
  settings_.LocationHTTP.VersionInfoFileName = update::kVersionFileName;
  settings_.LocationHTTP.VersionInfoLocationPaths = QStringList{base};
  store_.Store(settings_);
  settings_ = store_.Load(settings_);
  VersionCheck();
  checking_ = false;
}

void TWebUpdate::VersionCheck() {
  const QString base = settings_.LocationHTTP.VersionInfoLocationPaths.value(0);
  const update::TVersionCheckOutcome outcome =
      update::RunVersionCheck(store_, settings_, QDateTime::currentDateTimeUtc(), base, running_, platform_);
  if (outcome.Offers.empty()) {
    return;
  }
  const auto highest =
      update::HighestNewerRelease(*outcome.History, settings_.AllowedReleaseType, running_, platform_);
  TUpgradeDialog dialog(*outcome.History, outcome.Offers, *highest, running_, &window_);
  dialog.exec();
  const TUpgradeChoice choice = dialog.Choice();
  if (choice.Operation == TUpgradeOperation::uoIgnore) {
    return;
  }
  for (const update::TReleaseEntry& release : outcome.Offers) {
    if (release.ProgramReleaseType == choice.ReleaseType) {
      DownloadAndStart(release, choice.Operation, outcome.LocalDirectory);
      return;
    }
  }
}

void TWebUpdate::DownloadAndStart(const update::TReleaseEntry& release, TUpgradeOperation operation,
                                  const QString& local_directory) {
  TDownloadProgressWindow progress(&window_);
  progress.show();
  const QPointer<TDownloadProgressWindow> guard(&progress);
  update::TDownloadResult result;
  const QString base = settings_.LocationHTTP.VersionInfoLocationPaths.value(0);
  QThread* worker = QThread::create([&] {
    result = update::DownloadInstaller(base, release, local_directory, [guard](const QString& text) {
      QMetaObject::invokeMethod(
          guard,
          [guard, text] {
            if (guard) {
              guard->SetInfoText(text);
            }
          },
          Qt::QueuedConnection);
    });
  });
  QEventLoop loop;
  connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  loop.exec();
  worker->wait();
  delete worker;
  QCoreApplication::processEvents();  // the last progress notices
  progress.hide();

  const QString title = QStringLiteral("Velmora");
  if (!result.Error.isEmpty()) {
    QMessageBox::critical(&window_, title, result.Error);
    return;
  }
  if (result.FileName.isEmpty() || !QFileInfo::exists(result.FileName)) {
    QMessageBox::critical(
        &window_, title,
        QStringLiteral("The file download was not successful!\r\nPlease try again manually."));
    return;
  }
  // A package for this system other than a Windows installer is never started: the person installs it
  // with the system's own tools, from the folder we open for them.
  if (platform_ != update::TPlatform::pfWindows || !release.IsFor(update::TPlatform::pfWindows)) {
    if (QMessageBox::question(&window_, title,
                              QStringLiteral("The file download was successful.\r\nInstall manually from: "
                                             "%1\r\nDo you want to open its folder?")
                                  .arg(result.FileName),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes) {
      QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(result.FileName).absolutePath()));
    }
    return;
  }
  if (operation == TUpgradeOperation::uoDownloadOnly) {
    QMessageBox::information(&window_, title,
                             QStringLiteral("The file download was successful.\r\nInstall manually from: %1")
                                 .arg(result.FileName));
    return;
  }
  if (QMessageBox::question(
          &window_, title,
          QStringLiteral("The file download was successful.\r\nDo you want to close and install?"),
          QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) != QMessageBox::Yes) {
    return;
  }
  // The file was verified before the question; it is read again now, just before it runs.
  if (!update::FileIsExpected(result.FileName,
                              {release.ProgramSize, QByteArray::fromStdString(release.ProgramSha256)})) {
    QFile::remove(result.FileName);
    QMessageBox::critical(
        &window_, title,
        QStringLiteral("The file download was not successful!\r\nPlease try again manually."));
    return;
  }
  QFile::setPermissions(result.FileName,
                        QFile::permissions(result.FileName) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
  const QStringList parameters = QProcess::splitCommand(QString::fromStdString(release.LocalInstallerParams));
  // Started in a folder that holds nothing of the download's, so that it finds no library planted beside
  // it there.
  if (!QProcess::startDetached(result.FileName, parameters, CleanWorkingFolder())) {
    QMessageBox::critical(&window_, title, QStringLiteral("Error starting the setup process."));
    return;
  }
  QMetaObject::invokeMethod(&window_, &QWidget::close, Qt::QueuedConnection);
}

void TWebUpdate::StoreAtClose() {
  settings_.LocationHTTP = {};
  store_.Store(settings_);
}

}  // namespace velmora::app

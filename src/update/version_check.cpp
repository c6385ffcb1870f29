#include "update/version_check.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>
#include <filesystem>

#include "platform/app_data_folder.h"
#include "update/release_version.h"

#ifndef VELMORA_DEFAULT_UPDATE_URL
#define VELMORA_DEFAULT_UPDATE_URL ""
#endif

namespace velmora::update {
namespace {

bool IsHttp(const QUrl& url) {
  return url.isValid() && !url.host().isEmpty() &&
         (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

QString AsDirectory(QString location) {
  if (!location.isEmpty() && !location.endsWith(QLatin1Char('/'))) {
    location += QLatin1Char('/');
  }
  return location;
}

QString FallbackDirectory() {
  return QStandardPaths::writableLocation(QStandardPaths::TempLocation) + QStringLiteral("/VelmoraUpdate");
}

}  // namespace

QString UpdateBaseLocation() {
  QString location = qEnvironmentVariable("VELMORA_UPDATE_URL");
  if (location.isEmpty()) {
    location = QStringLiteral(VELMORA_DEFAULT_UPDATE_URL);
  }
  location = AsDirectory(location.trimmed());
  return IsHttp(QUrl(location)) ? location : QString();
}

QString DefaultUpdateDirectory() {
  const std::filesystem::path folder = platform::UpdateFolder();
  if (folder.empty()) {
    return FallbackDirectory();
  }
  const QString directory = QDir::fromNativeSeparators(QString::fromStdWString(folder.wstring()));
  // Earlier versions kept the update files in the user's local data folder; they move once, beside the
  // settings, where a roaming profile takes them along.
  const QDir legacy(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                    QStringLiteral("/Velmora/Update"));
  if (legacy.exists() && QDir(legacy.absolutePath()) != QDir(directory) && QDir().mkpath(directory)) {
    for (const QString& name : legacy.entryList(QDir::Files)) {
      const QString target = directory + QLatin1Char('/') + name;
      if (!QFile::exists(target)) {
        QFile::rename(legacy.filePath(name), target);
      }
    }
    QDir().rmdir(legacy.absolutePath());  // only when nothing is left in it
  }
  return directory;
}

QString ReleaseLocation(const QString& base, const TReleaseEntry& release) {
  const QUrl path(AsDirectory(QString::fromStdString(release.ProgramLocationPath)));
  const QUrl location = QUrl(base).resolved(path);
  return IsHttp(location) ? AsDirectory(location.toString()) : QString();
}

std::vector<TReleaseEntry> NewerReleases(const TVersionHistory& history, TReleaseType allowed,
                                         const std::string& running) {
  std::vector<TReleaseEntry> releases;
  for (auto type = kReleaseTypes.rbegin(); type != kReleaseTypes.rend(); ++type) {
    if (*type == TReleaseType::rtAlpha ||
        (*type == TReleaseType::rtBeta && allowed != TReleaseType::rtBeta)) {
      continue;
    }
    const TReleaseEntry* release = history.CurrentRelease(*type);
    if (release != nullptr && CompareVersions(release->ProgramVersion, running) > 0) {
      releases.push_back(*release);
    }
  }
  return releases;
}

std::optional<TReleaseEntry> HighestNewerRelease(const TVersionHistory& history, TReleaseType allowed,
                                                 const std::string& running) {
  std::optional<TReleaseEntry> highest;
  for (TReleaseEntry& release : NewerReleases(history, allowed, running)) {
    if (!highest || CompareVersions(release.ProgramVersion, highest->ProgramVersion) > 0) {
      highest = std::move(release);
    }
  }
  return highest;
}

std::optional<TVersionHistory> FetchVersionHistory(const QString& base, const QString& local_directory,
                                                   QString* failure) {
  const auto fail = [failure](const QString& why) {
    if (failure != nullptr) {
      *failure = why;
    }
    return std::nullopt;
  };
  const TDownloadResult download =
      LoadFile(base, kVersionFileName, local_directory, kLocalVersionInfoFileName);
  if (download.FileName.isEmpty()) {
    return fail(QStringLiteral("cannot fetch %1%2: %3")
                    .arg(base, kVersionFileName,
                         download.Error.isEmpty() ? QStringLiteral("the transfer failed") : download.Error));
  }
  QFile file(download.FileName);
  if (!file.open(QIODevice::ReadOnly)) {
    return fail(QStringLiteral("cannot read %1: %2").arg(download.FileName, file.errorString()));
  }
  const QByteArray bytes = file.readAll();
  file.close();
  auto history =
      ParseVersionHistory(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (history) {
    // The local copy keeps what was understood, in our own layout.
    const std::string text = VersionHistoryXml(*history);
    QSaveFile copy(download.FileName);
    if (copy.open(QIODevice::WriteOnly)) {
      copy.write(text.data(), static_cast<qint64>(text.size()));
      copy.commit();
    }
  } else {
    fail(QStringLiteral("%1%2 is not a version history").arg(base, kVersionFileName));
  }
  return history;
}

TDownloadResult DownloadInstaller(const QString& base, const TReleaseEntry& release,
                                  const QString& local_directory, const TProgressText& progress) {
  const TExpectedFile expected{release.ProgramSize, QByteArray::fromStdString(release.ProgramSha256)};
  return LoadFile(ReleaseLocation(base, release), QString::fromStdString(release.ProgramLocationFileName),
                  local_directory, kLocalInstallerFileName, expected, progress);
}

bool CheckIsDue(const QDateTime& now, int check_frequency_days, const QDateTime& last_check) {
  return !last_check.isValid() || now.addDays(-check_frequency_days) > last_check;
}

TVersionCheckOutcome RunVersionCheck(const TWebUpdateStore& store, TWebUpdateSettings& settings,
                                     const QDateTime& now, const QString& base, const std::string& running) {
  TVersionCheckOutcome outcome;
  if (!store.HasEntries()) {
    store.Store(settings);
  }
  settings = store.Load(settings);
  if (!CheckIsDue(now, settings.CheckFrequency, settings.LastCheck)) {
    return outcome;
  }
  outcome.Due = true;
  settings.LastCheck = now;
  // Stored at once, so that a check that fails further on still counts as made.
  store.Store(settings);

  outcome.LocalDirectory = settings.LocalDirectory;
  if (outcome.LocalDirectory.isEmpty() || !QDir().mkpath(outcome.LocalDirectory)) {
    outcome.LocalDirectory = FallbackDirectory();
  }
  if (base.isEmpty()) {
    return outcome;
  }
  outcome.History = FetchVersionHistory(base, outcome.LocalDirectory);
  if (outcome.History) {
    outcome.Offers = NewerReleases(*outcome.History, settings.AllowedReleaseType, running);
  }
  return outcome;
}

}  // namespace velmora::update

#include "update/version_check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <filesystem>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "platform/app_data_folder.h"
#include "update/release_version.h"

#ifndef VELMORA_DEFAULT_UPDATE_URL
#define VELMORA_DEFAULT_UPDATE_URL ""
#endif
#ifndef VELMORA_RELEASE_PUBLIC_KEY
#define VELMORA_RELEASE_PUBLIC_KEY ""
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

QByteArray ReadFile(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The serial in a file of SeenSerialFileName, 0 when there is none.
std::uint64_t ReadSerial(const QString& name) {
  bool number = false;
  const std::uint64_t serial = QString::fromLatin1(ReadFile(name)).trimmed().toULongLong(&number);
  return number ? serial : 0;
}

}  // namespace

QString FallbackUpdateDirectory() {
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
  return cache.isEmpty() ? QString() : cache + QStringLiteral("/Velmora/Update");
}

bool MakePrivateDirectory(const QString& directory) {
  if (directory.isEmpty() || !QDir().mkpath(directory)) {
    return false;
  }
#ifdef _WIN32
  return true;
#else
  const QFileInfo info(directory);
  if (info.isSymLink() || !info.isDir() || info.ownerId() != ::getuid()) {
    return false;
  }
  return QFile::setPermissions(directory, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ReadUser |
                                              QFileDevice::WriteUser | QFileDevice::ExeUser);
#endif
}

QString UpdateBaseLocation() {
  QString location = qEnvironmentVariable("VELMORA_UPDATE_URL");
  if (location.isEmpty()) {
    location = QStringLiteral(VELMORA_DEFAULT_UPDATE_URL);
  }
  location = AsDirectory(location.trimmed());
  return IsHttp(QUrl(location)) ? location : QString();
}

std::optional<TPublicKey> ChooseReleaseKey(std::string_view built_in, std::string_view environment) {
  const std::string_view chosen = built_in.empty() ? environment : built_in;
  return chosen.empty() ? std::nullopt : KeyFromBase64(chosen);
}

std::optional<TPublicKey> ReleasePublicKey() {
  return ChooseReleaseKey(VELMORA_RELEASE_PUBLIC_KEY,
                          qEnvironmentVariable("VELMORA_RELEASE_PUBLIC_KEY").trimmed().toStdString());
}

QString LocalInstallerFileName(const TReleaseEntry& release) {
  if (release.IsFor(TPlatform::pfWindows)) {
    return kLocalInstallerFileName;
  }
  // Only a plain extension is taken over: the local name must never come to point anywhere else.
  const QString name = QString::fromStdString(release.ProgramLocationFileName);
  const QString extension = name.mid(name.lastIndexOf(QLatin1Char('.')) + 1);
  const bool plain = name.contains(QLatin1Char('.')) && !extension.isEmpty() && extension.size() <= 8 &&
                     std::all_of(extension.begin(), extension.end(), [](QChar c) {
                       return c.isDigit() || (c.toLatin1() >= 'a' && c.toLatin1() <= 'z') ||
                              (c.toLatin1() >= 'A' && c.toLatin1() <= 'Z');
                     });
  return QStringLiteral("VelmoraLast") + (plain ? QLatin1Char('.') + extension : QString());
}

QString SeenSerialFileName() {
  const std::filesystem::path folder = platform::UpdateFolder();
  return folder.empty() ? QString()
                        : QDir::fromNativeSeparators(QString::fromStdWString(folder.wstring())) +
                              QStringLiteral("/VelmoraVersionSerial");
}

QString DefaultUpdateDirectory() {
  const std::filesystem::path folder = platform::UpdateFolder();
  if (folder.empty()) {
    return FallbackUpdateDirectory();
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
                                         const std::string& running, TPlatform platform) {
  std::vector<TReleaseEntry> releases;
  for (auto type = kReleaseTypes.rbegin(); type != kReleaseTypes.rend(); ++type) {
    if (*type == TReleaseType::rtAlpha ||
        (*type == TReleaseType::rtBeta && allowed != TReleaseType::rtBeta)) {
      continue;
    }
    const TReleaseEntry* release = history.CurrentRelease(*type, platform);
    if (release != nullptr && CompareVersions(release->ProgramVersion, running) > 0) {
      releases.push_back(*release);
    }
  }
  return releases;
}

std::optional<TReleaseEntry> HighestNewerRelease(const TVersionHistory& history, TReleaseType allowed,
                                                 const std::string& running, TPlatform platform) {
  std::optional<TReleaseEntry> highest;
  for (TReleaseEntry& release : NewerReleases(history, allowed, running, platform)) {
    if (!highest || CompareVersions(release.ProgramVersion, highest->ProgramVersion) > 0) {
      highest = std::move(release);
    }
  }
  return highest;
}

std::optional<TVersionHistory> FetchVersionHistory(const QString& base, const QString& local_directory,
                                                   QString* failure, const QString& seen_serial_file) {
  const QString local_signature = kLocalVersionInfoFileName + QStringLiteral(".sig");
  const auto fail = [&](const QString& why) {
    if (failure != nullptr) {
      *failure = why;
    }
    // Nothing unverified stays on the disk, where it could be taken for a history we trusted.
    QFile::remove(QDir(local_directory).filePath(kLocalVersionInfoFileName));
    QFile::remove(QDir(local_directory).filePath(local_signature));
    return std::nullopt;
  };
  const auto key = ReleasePublicKey();
  if (!key) {
    return fail(QStringLiteral("no release key is built in, so no version history can be trusted"));
  }
  const auto fetch = [&](const QString& remote, const QString& local, std::uint64_t max_size) {
    TDownloadOptions options;
    options.MaxSize = max_size;
    TDownloadResult download = LoadFile(base, remote, local_directory, local, options);
    if (download.FileName.isEmpty() && download.Error.isEmpty()) {
      download.Error = QStringLiteral("the transfer failed");
    }
    return download;
  };
  const TDownloadResult download = fetch(kVersionFileName, kLocalVersionInfoFileName, kMaxHistorySize);
  if (download.FileName.isEmpty()) {
    return fail(QStringLiteral("cannot fetch %1%2: %3").arg(base, kVersionFileName, download.Error));
  }
  const QByteArray bytes = ReadFile(download.FileName);
  const TDownloadResult signature = fetch(kSignatureFileName, local_signature, kMaxSignatureSize);
  if (signature.FileName.isEmpty()) {
    return fail(QStringLiteral("%1%2 is not signed: cannot fetch %1%3: %4")
                    .arg(base, kVersionFileName, kSignatureFileName, signature.Error));
  }
  const QByteArray signature_text = ReadFile(signature.FileName);
  QFile::remove(signature.FileName);
  if (!SignatureMatches(
          std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
          std::string_view(signature_text.constData(), static_cast<std::size_t>(signature_text.size())),
          *key)) {
    return fail(QStringLiteral("%1%2 does not carry a valid signature of the release key in %1%3")
                    .arg(base, kVersionFileName, kSignatureFileName));
  }
  auto history =
      ParseVersionHistory(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (!history) {
    return fail(QStringLiteral("%1%2 is not a version history").arg(base, kVersionFileName));
  }
  const std::uint64_t seen = seen_serial_file.isEmpty() ? 0 : ReadSerial(seen_serial_file);
  if (history->Serial < seen) {
    return fail(QStringLiteral("%1%2 is an older version history (serial %3) than one already seen (serial "
                               "%4): it could hide newer releases")
                    .arg(base, kVersionFileName)
                    .arg(history->Serial)
                    .arg(seen));
  }
  if (history->Serial > seen && !seen_serial_file.isEmpty() &&
      QDir().mkpath(QFileInfo(seen_serial_file).absolutePath())) {
    QSaveFile remembered(seen_serial_file);
    if (remembered.open(QIODevice::WriteOnly)) {
      remembered.write(QByteArray::number(static_cast<qulonglong>(history->Serial)) + '\n');
      remembered.commit();
    }
  }
  // The local copy keeps what was understood, in our own layout.
  const std::string text = VersionHistoryXml(*history);
  QSaveFile copy(download.FileName);
  if (copy.open(QIODevice::WriteOnly)) {
    copy.write(text.data(), static_cast<qint64>(text.size()));
    copy.commit();
  }
  return history;
}

TDownloadResult DownloadInstaller(const QString& base, const TReleaseEntry& release,
                                  const QString& local_directory, const TProgressText& progress) {
  TDownloadOptions options;
  options.Expected = TExpectedFile{release.ProgramSize, QByteArray::fromStdString(release.ProgramSha256)};
  options.Progress = progress;
  return LoadFile(ReleaseLocation(base, release), QString::fromStdString(release.ProgramLocationFileName),
                  local_directory, LocalInstallerFileName(release), options);
}

bool CheckIsDue(const QDateTime& now, int check_frequency_days, const QDateTime& last_check) {
  return !last_check.isValid() || now.addDays(-check_frequency_days) > last_check;
}

TVersionCheckOutcome RunVersionCheck(const TWebUpdateStore& store, TWebUpdateSettings& settings,
                                     const QDateTime& now, const QString& base, const std::string& running,
                                     TPlatform platform) {
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
  if (!MakePrivateDirectory(outcome.LocalDirectory)) {
    outcome.LocalDirectory = FallbackUpdateDirectory();
    if (!MakePrivateDirectory(outcome.LocalDirectory)) {
      outcome.LocalDirectory.clear();
      return outcome;  // nowhere to put a history or an installer that others could not change
    }
  }
  if (base.isEmpty()) {
    return outcome;
  }
  outcome.History = FetchVersionHistory(base, outcome.LocalDirectory);
  if (outcome.History) {
    outcome.Offers = NewerReleases(*outcome.History, settings.AllowedReleaseType, running, platform);
  }
  return outcome;
}

}  // namespace velmora::update

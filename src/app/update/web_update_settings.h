#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "app/update/version_history.h"

namespace velmora::app {

// Where the version history is fetched from while a check runs; emptied again at close so that the
// settings file never keeps the base location.
struct TLocationHTTP {
  QStringList VersionInfoLocationPaths;
  QString VersionInfoFileName;

  bool operator==(const TLocationHTTP&) const = default;
};

struct TWebUpdateSettings {
  TReleaseType AllowedReleaseType = TReleaseType::rtProduction;
  int CheckFrequency = 0;  // days between two real checks
  QDateTime LastCheck;     // invalid until the first real check
  QString LocalDirectory;
  TLocationHTTP LocationHTTP;

  bool operator==(const TWebUpdateSettings&) const = default;
};

// The "WebUpdate" subtree of the settings file. Everything else in the file is kept as it is; a file that
// does not parse is never overwritten, so a damaged settings file loses nothing more.
class TWebUpdateStore final {
 public:
  explicit TWebUpdateStore(QString settings_file) : file_(std::move(settings_file)) {}

  const QString& FileName() const { return file_; }
  bool HasEntries() const;
  // The stored settings; an entry that is missing or unreadable keeps its value in `defaults`.
  TWebUpdateSettings Load(const TWebUpdateSettings& defaults) const;
  // Replaces the whole subtree. False when the file could not be read or written.
  bool Store(const TWebUpdateSettings& settings) const;

 private:
  QString file_;
};

// The settings file of this user: Velmora/Velmora.xml in the configuration folder.
QString SettingsFilePath();

}  // namespace velmora::app

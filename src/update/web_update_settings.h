#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "update/version_history.h"

namespace velmora::app {
class TSettingsFile;
}  // namespace velmora::app

namespace velmora::update {

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

// The "WebUpdate" subtree of the program's one settings file, read and written through that file: the
// same lock against other processes and the same whole-file replace as every other entry.
class TWebUpdateStore final {
 public:
  explicit TWebUpdateStore(app::TSettingsFile& file) : file_(file) {}

  bool HasEntries() const;
  // The stored settings; an entry that is missing or unreadable keeps its value in `defaults`.
  TWebUpdateSettings Load(const TWebUpdateSettings& defaults) const;
  // Replaces the whole subtree, in one save.
  void Store(const TWebUpdateSettings& settings) const;

 private:
  app::TSettingsFile& file_;
};

}  // namespace velmora::update

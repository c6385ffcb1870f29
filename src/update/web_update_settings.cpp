#include "update/web_update_settings.h"

#include <string>

#include "app/settings_file.h"

namespace velmora::update {
namespace {

constexpr const char* kWebUpdate = "WebUpdate";
constexpr const char* kCheckFrequency = "WebUpdate\\CheckFrequency";
constexpr const char* kLocalDirectory = "WebUpdate\\LocalDirectory";
constexpr const char* kAllowedReleaseType = "WebUpdate\\AllowedReleaseType";
constexpr const char* kLastCheck = "WebUpdate\\LastCheck";
constexpr const char* kLocationHTTP = "WebUpdate\\LocationHTTP";
constexpr const char* kVersionInfoFileName = "WebUpdate\\LocationHTTP\\VersionInfoFileName";
// The path list has no fixed length, so its entries are numbered: Path0, Path1, ...
constexpr const char* kVersionInfoLocationPaths = "WebUpdate\\LocationHTTP\\VersionInfoLocationPaths";
// Written where no check was ever made.
constexpr const char* kNeverChecked = "0";

std::string PathEntry(int index) {
  return std::string(kVersionInfoLocationPaths) + "\\Path" + std::to_string(index);
}

QString Text(app::TSettingsFile& file, const char* path, const QString& default_value) {
  return QString::fromStdString(file.ReadString(path, default_value.toStdString()));
}

}  // namespace

bool TWebUpdateStore::HasEntries() const {
  return file_.HasEntry(kWebUpdate);
}

TWebUpdateSettings TWebUpdateStore::Load(const TWebUpdateSettings& defaults) const {
  TWebUpdateSettings settings = defaults;
  if (!file_.HasEntry(kWebUpdate)) {
    return settings;
  }
  const int days = file_.ReadInteger(kCheckFrequency, defaults.CheckFrequency);
  if (days >= 0) {
    settings.CheckFrequency = days;
  }
  if (const auto type = ReleaseTypeFromName(file_.ReadString(kAllowedReleaseType, ""))) {
    settings.AllowedReleaseType = *type;
  }
  settings.LocalDirectory = Text(file_, kLocalDirectory, defaults.LocalDirectory);
  if (file_.HasEntry(kLastCheck)) {
    // "0" (never checked) and anything unreadable leave no date.
    settings.LastCheck = QDateTime::fromString(Text(file_, kLastCheck, {}), Qt::ISODateWithMs);
  }
  if (file_.HasEntry(kLocationHTTP)) {
    settings.LocationHTTP.VersionInfoFileName = Text(file_, kVersionInfoFileName, {});
    settings.LocationHTTP.VersionInfoLocationPaths.clear();
    for (int i = 0; file_.HasEntry(PathEntry(i)); ++i) {
      settings.LocationHTTP.VersionInfoLocationPaths.append(Text(file_, PathEntry(i).c_str(), {}));
    }
  }
  return settings;
}

void TWebUpdateStore::Store(const TWebUpdateSettings& settings) const {
  const app::TSettingsFile::Batch batch(file_);
  file_.DeleteEntry(kWebUpdate);
  file_.WriteInteger(kCheckFrequency, settings.CheckFrequency);
  file_.WriteString(kLocalDirectory, settings.LocalDirectory.toStdString());
  file_.WriteString(kAllowedReleaseType, ReleaseTypeName(settings.AllowedReleaseType));
  for (int i = 0; i < settings.LocationHTTP.VersionInfoLocationPaths.size(); ++i) {
    file_.WriteString(PathEntry(i), settings.LocationHTTP.VersionInfoLocationPaths[i].toStdString());
  }
  file_.WriteString(kVersionInfoFileName, settings.LocationHTTP.VersionInfoFileName.toStdString());
  file_.WriteString(kLastCheck, settings.LastCheck.isValid()
                                    ? settings.LastCheck.toUTC().toString(Qt::ISODateWithMs).toStdString()
                                    : std::string(kNeverChecked));
}

}  // namespace velmora::update

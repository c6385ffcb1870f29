#include "app/update/web_update_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <optional>
#include <sstream>

#include <pugixml.hpp>

namespace velmora::app {
namespace {

constexpr const char* kRoot = "Configuration";
constexpr const char* kWebUpdate = "WebUpdate";
constexpr int kLockWaitMs = 5000;

// Serialises this process's reads and writes of the settings file with other processes'.
class SettingsLock final {
 public:
  explicit SettingsLock(const QString& file) : lock_(file + QStringLiteral(".lock")) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    locked_ = lock_.tryLock(kLockWaitMs);
  }
  bool Locked() const { return locked_; }

 private:
  QLockFile lock_;
  bool locked_ = false;
};

// Nothing when the file exists but cannot be read or parsed; an empty document when it does not exist.
std::optional<pugi::xml_document> ReadDocument(const QString& name) {
  std::optional<pugi::xml_document> document(std::in_place);
  QFile file(name);
  if (!file.exists()) {
    return document;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    return std::nullopt;
  }
  const QByteArray bytes = file.readAll();
  if (!bytes.trimmed().isEmpty() &&
      !document->load_buffer(bytes.constData(), static_cast<std::size_t>(bytes.size()))) {
    return std::nullopt;
  }
  return document;
}

QString Text(const pugi::xml_node& node) {
  return QString::fromUtf8(node.text().as_string());
}

void AddText(pugi::xml_node parent, const char* name, const QString& value) {
  parent.append_child(name).text().set(value.toUtf8().constData());
}

}  // namespace

bool TWebUpdateStore::HasEntries() const {
  const SettingsLock lock(file_);
  const auto document = ReadDocument(file_);
  return document && document->child(kRoot).child(kWebUpdate);
}

TWebUpdateSettings TWebUpdateStore::Load(const TWebUpdateSettings& defaults) const {
  TWebUpdateSettings settings = defaults;
  const SettingsLock lock(file_);
  const auto document = ReadDocument(file_);
  if (!document) {
    return settings;
  }
  const pugi::xml_node node = document->child(kRoot).child(kWebUpdate);
  if (!node) {
    return settings;
  }
  if (const pugi::xml_node frequency = node.child("CheckFrequency")) {
    bool ok = false;
    const int days = Text(frequency).toInt(&ok);
    if (ok && days >= 0) {
      settings.CheckFrequency = days;
    }
  }
  if (const auto type = ReleaseTypeFromName(node.child("AllowedReleaseType").text().as_string())) {
    settings.AllowedReleaseType = *type;
  }
  if (const pugi::xml_node directory = node.child("LocalDirectory")) {
    settings.LocalDirectory = Text(directory);
  }
  if (const pugi::xml_node last = node.child("LastCheck")) {
    // "0" (never checked) and anything unreadable leave no date.
    settings.LastCheck = QDateTime::fromString(Text(last), Qt::ISODateWithMs);
  }
  if (const pugi::xml_node location = node.child("LocationHTTP")) {
    settings.LocationHTTP.VersionInfoFileName = Text(location.child("VersionInfoFileName"));
    settings.LocationHTTP.VersionInfoLocationPaths.clear();
    for (const pugi::xml_node& path : location.child("VersionInfoLocationPaths").children("Path")) {
      settings.LocationHTTP.VersionInfoLocationPaths.append(Text(path));
    }
  }
  return settings;
}

bool TWebUpdateStore::Store(const TWebUpdateSettings& settings) const {
  const SettingsLock lock(file_);
  if (!lock.Locked()) {
    return false;
  }
  auto document = ReadDocument(file_);
  if (!document) {
    return false;
  }
  pugi::xml_node root = document->child(kRoot);
  if (!root) {
    root = document->append_child(kRoot);
  }
  root.remove_child(kWebUpdate);
  pugi::xml_node node = root.append_child(kWebUpdate);
  AddText(node, "CheckFrequency", QString::number(settings.CheckFrequency));
  AddText(node, "LocalDirectory", settings.LocalDirectory);
  AddText(node, "AllowedReleaseType",
          QString::fromLatin1(ReleaseTypeName(settings.AllowedReleaseType).data(),
                              static_cast<qsizetype>(ReleaseTypeName(settings.AllowedReleaseType).size())));
  pugi::xml_node location = node.append_child("LocationHTTP");
  pugi::xml_node paths = location.append_child("VersionInfoLocationPaths");
  for (const QString& path : settings.LocationHTTP.VersionInfoLocationPaths) {
    AddText(paths, "Path", path);
  }
  AddText(location, "VersionInfoFileName", settings.LocationHTTP.VersionInfoFileName);
  AddText(node, "LastCheck",
          settings.LastCheck.isValid() ? settings.LastCheck.toUTC().toString(Qt::ISODateWithMs)
                                       : QStringLiteral("0"));

  std::ostringstream text;
  document->save(text, "  ", pugi::format_default, pugi::encoding_utf8);
  const std::string bytes = text.str();
  QSaveFile file(file_);
  return file.open(QIODevice::WriteOnly) &&
         file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
         file.commit();
}

QString SettingsFilePath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/Velmora/Velmora.xml");
}

}  // namespace velmora::app

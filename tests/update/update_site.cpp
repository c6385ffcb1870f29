#include "update_site.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <stdexcept>

namespace velmora::test {
namespace {

void WriteFile(const QString& name, const QByteArray& bytes) {
  QDir().mkpath(name.section(QLatin1Char('/'), 0, -2));
  QFile file(name);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    throw std::runtime_error("cannot write " + name.toStdString());
  }
}

}  // namespace

QByteArray Sha256Hex(const QByteArray& bytes) {
  return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

const update::TKeyPair& TestReleaseKey() {
  static const update::TKeyPair key = update::MakeKeyPair();
  return key;
}

UpdateSite::UpdateSite() {
  if (!folder_.isValid()) {
    throw std::runtime_error("no temporary folder for the update site");
  }
  qputenv("VELMORA_RELEASE_PUBLIC_KEY", QByteArray::fromStdString(update::ToBase64(TestReleaseKey().Public)));
  // The check remembers the newest history it has read in the user's settings folder: unless a test has
  // given a settings folder of its own (under the temporary folder), the sites' histories are remembered
  // in one of the test program's, never in the user's.
  static const QTemporaryDir settings;
  if (!qEnvironmentVariable("XDG_CONFIG_HOME").startsWith(QDir::tempPath() + QLatin1Char('/'))) {
    qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
  }
}

update::TReleaseEntry& UpdateSite::AddRelease(const std::string& version, update::TReleaseType type,
                                              const QByteArray& installer, update::TPlatform platform) {
  const bool for_linux = platform == update::TPlatform::pfLinux;
  const std::string file_name =
      for_linux ? "velmora_" + version + "_amd64.deb" : "VelmoraSetup-" + version + ".exe";
  WriteFile(folder_.filePath(QStringLiteral("releases/") + QString::fromStdString(file_name)), installer);
  update::TReleaseEntry entry;
  entry.ProgramVersion = version;
  entry.ProgramReleaseType = type;
  entry.ProgramLocationPath = "releases/";
  entry.ProgramLocationFileName = file_name;
  entry.VersionDescription = {"Changes of " + version};
  entry.ProgramSize = static_cast<std::uint64_t>(installer.size());
  entry.ProgramSha256 = Sha256Hex(installer).toStdString();
  entry.ProgramReleaseDate = "2026-12-01";
  entry.ProgramPlatform = for_linux ? "Linux" : "";
  history_.CurrentVersion[static_cast<int>(type)] = version;
  history_.Releases.push_back(entry);
  return history_.Releases.back();
}

void UpdateSite::Publish() {
  PublishText(QByteArray::fromStdString(update::VersionHistoryXml(history_)));
}

void UpdateSite::PublishText(const QByteArray& text) {
  PublishSignedBy(text, TestReleaseKey());
}

void UpdateSite::PublishSignedBy(const QByteArray& text, const update::TKeyPair& key) {
  PublishUnsigned(text);
  WriteFile(folder_.filePath(QStringLiteral("VelmoraVersion.xml.sig")),
            QByteArray::fromStdString(update::SignatureText(text.toStdString(), key)));
}

void UpdateSite::PublishUnsigned(const QByteArray& text) {
  QFile::remove(folder_.filePath(QStringLiteral("VelmoraVersion.xml.sig")));
  WriteFile(folder_.filePath(QStringLiteral("VelmoraVersion.xml")), text);
}

HttpTestServer& UpdateSite::Server() {
  if (!server_) {
    server_ = std::make_unique<HttpTestServer>(folder_.path().toStdString());
  }
  return *server_;
}

QString UpdateSite::Url() {
  return QString::fromStdString(Server().Url());
}

}  // namespace velmora::test

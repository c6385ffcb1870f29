#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "http_test_server.h"
#include "update/version_history.h"

namespace velmora::test {

// A release folder served over real HTTP on 127.0.0.1: installers under releases/ and the version
// history VelmoraVersion.xml at the top, as a packager would put them.
class UpdateSite final {
 public:
  UpdateSite();

  // Puts `installer` on the site and makes it the current release of its type. The entry carries the
  // real size and SHA-256 of those bytes; change it (before the next AddRelease) and Publish() to make
  // it lie.
  update::TReleaseEntry& AddRelease(const std::string& version, update::TReleaseType type,
                                    const QByteArray& installer);
  update::TVersionHistory& History() { return history_; }
  void Publish();
  void PublishText(const QByteArray& text);

  // "http://127.0.0.1:<port>/", the server started on first use.
  QString Url();
  HttpTestServer& Server();
  QString Folder() const { return folder_.path(); }

 private:
  QTemporaryDir folder_;
  update::TVersionHistory history_;
  std::unique_ptr<HttpTestServer> server_;
};

QByteArray Sha256Hex(const QByteArray& bytes);

}  // namespace velmora::test

#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "http_test_server.h"
#include "update/release_signature.h"
#include "update/version_history.h"

namespace velmora::test {

// A release folder served over real HTTP on 127.0.0.1: installers under releases/ and the version
// history VelmoraVersion.xml at the top with its signature VelmoraVersion.xml.sig, as a packager would put
// them. Every site signs with the tests' release key, which it puts in VELMORA_RELEASE_PUBLIC_KEY (the
// builds under test have none built in).
class UpdateSite final {
 public:
  UpdateSite();

  // Puts `installer` on the site and makes it the current release of its type: a Windows installer
  // VelmoraSetup-<version>.exe or a Linux package velmora_<version>_amd64.deb. The entry carries the real
  // size and SHA-256 of those bytes; change it (before the next AddRelease) and Publish() to make it lie.
  update::TReleaseEntry& AddRelease(const std::string& version, update::TReleaseType type,
                                    const QByteArray& installer,
                                    update::TPlatform platform = update::kThisPlatform);
  update::TVersionHistory& History() { return history_; }
  // Writes the history and signs it with the tests' release key.
  void Publish();
  void PublishText(const QByteArray& text);
  // Writes the history and a signature by `key`, or none at all.
  void PublishSignedBy(const QByteArray& text, const update::TKeyPair& key);
  void PublishUnsigned(const QByteArray& text);

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

// The key pair every UpdateSite signs with, the same for the whole test program.
const update::TKeyPair& TestReleaseKey();

}  // namespace velmora::test

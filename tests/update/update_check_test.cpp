// The update check without a window, against a real HTTP server on 127.0.0.1.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <functional>
#include <optional>

#include <gtest/gtest.h>

#include "app/settings_file.h"
#include "update/release_signature.h"
#include "update/release_version.h"
#include "update/remote_file_download.h"
#include "update/version_check.h"
#include "update/version_history.h"
#include "update/web_update_settings.h"
#include "update_site.h"

namespace velmora::update {
namespace {

using test::UpdateSite;

class QtEnvironment final : public testing::Environment {
 public:
  void SetUp() override { application_ = std::make_unique<QCoreApplication>(argc_, argv_); }
  void TearDown() override { application_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "update_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QCoreApplication> application_;
};
[[maybe_unused]] testing::Environment* const kQt = testing::AddGlobalTestEnvironment(new QtEnvironment);

QByteArray ReadAll(const QString& name) {
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(CompareVersionsTest, ComparesPartsAsNumbersWithMinusOneForAMissingOrNonNumericPart) {
  struct Case {
    const char* running;
    const char* remote;
    int order;  // sign of CompareVersions(remote, running)
  };
  for (const Case& c :
       {Case{"2.9.0.220", "2.9.0.221", 1}, Case{"2.9.0.220", "2.10.0.0", 1}, Case{"2.9.0.220", "2.9.0", -1},
        Case{"2.9.0.220", "2.9.0.220", 0}, Case{"2.9.0.0", "2.9.x.5", -1}, Case{"", "0", 1},
        Case{"1.0", "1.-1", -1}, Case{"1.0", "1.99999999999999999999", -1}}) {
    const int order = CompareVersions(c.remote, c.running);
    EXPECT_EQ((order > 0) - (order < 0), c.order) << c.remote << " against " << c.running;
  }
}

TEST(VersionHistoryTest, ReadsBackWhatItWrites) {
  TVersionHistory history;
  history.CurrentVersion = {"2.9.0.220", "2.9.1.0", ""};
  TReleaseEntry production{"2.9.0.220",
                           TReleaseType::rtProduction,
                           "https://example.invalid/r/",
                           "a & b.exe",
                           "/S /D=\"x\"",
                           {"Line <one>", "Line two"},
                           2097152,
                           std::string(64, 'a'),
                           "2026-11-30",
                           ""};
  TReleaseEntry beta = production;
  beta.ProgramVersion = "2.9.1.0";
  beta.ProgramReleaseType = TReleaseType::rtBeta;
  beta.VersionDescription = {};
  TReleaseEntry package = production;
  package.ProgramLocationFileName = "velmora_2.9.0.220_amd64.deb";
  package.ProgramPlatform = "Linux";
  history.Releases = {production, beta, package};
  EXPECT_EQ(ParseVersionHistory(VersionHistoryXml(history)), history);
  history.Serial = 18446744073709551615U;
  history.Date = "2026-12-11";
  EXPECT_EQ(ParseVersionHistory(VersionHistoryXml(history)), history);
}

TEST(VersionHistoryTest, TheExampleInTheReadmeIsAValidHistory) {
  QFile readme(QStringLiteral(VELMORA_SOURCE_DIR "/README.md"));
  ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
  const QByteArray text = readme.readAll();
  const qsizetype start = text.indexOf("```xml\n<?xml version=\"1.0\"?>\n<VelmoraVersionHistory>");
  ASSERT_GE(start, 0);
  const qsizetype end = text.indexOf("```", start + 6);
  const auto history = ParseVersionHistory(text.mid(start + 7, end - start - 7).toStdString());
  ASSERT_TRUE(history);
  const TReleaseEntry* beta = history->CurrentRelease(TReleaseType::rtBeta, TPlatform::pfWindows);
  ASSERT_NE(beta, nullptr);
  EXPECT_EQ(beta->ProgramSize, 2150400u);
  EXPECT_EQ(history->CurrentRelease(TReleaseType::rtBeta, TPlatform::pfLinux), nullptr);
  const TReleaseEntry* package = history->CurrentRelease(TReleaseType::rtProduction, TPlatform::pfLinux);
  ASSERT_NE(package, nullptr);
  EXPECT_EQ(package->ProgramLocationFileName, "velmora_2.9.0.221_amd64.deb");
}

TEST(VersionHistoryTest, AReleaseIsForTheSystemItNamesAndWithoutANameForWindows) {
  struct Case {
    const char* platform;
    bool windows;
    bool linux_package;
  };
  for (const Case& c : {Case{"", true, false}, Case{"Windows", true, false}, Case{"Linux", false, true},
                        Case{"linux", false, false}, Case{"macOS", false, false}}) {
    TReleaseEntry release;
    release.ProgramPlatform = c.platform;
    EXPECT_EQ(release.IsFor(TPlatform::pfWindows), c.windows) << c.platform;
    EXPECT_EQ(release.IsFor(TPlatform::pfLinux), c.linux_package) << c.platform;
  }
}

TEST(LocalInstallerFileNameTest, KeepsOnlyAPlainExtensionOfAPackage) {
  struct Case {
    const char* platform;
    const char* remote;
    const char* local;
  };
  for (const Case& c :
       {Case{"", "VelmoraSetup-2.0.exe", "VelmoraLast.exe"}, Case{"Windows", "setup.msi", "VelmoraLast.exe"},
        Case{"Linux", "velmora_2.0.0.0_amd64.deb", "VelmoraLast.deb"},
        Case{"Linux", "velmora", "VelmoraLast"}, Case{"Linux", "x.d/eb", "VelmoraLast"},
        Case{"Linux", "x.d\\eb", "VelmoraLast"}}) {
    TReleaseEntry release;
    release.ProgramPlatform = c.platform;
    release.ProgramLocationFileName = c.remote;
    EXPECT_EQ(LocalInstallerFileName(release), QString::fromLatin1(c.local)) << c.remote;
  }
}

TEST(VersionHistoryTest, RefusesAHistoryThatCannotSayWhatAnInstallerMustBe) {
  const std::string digest(64, '0');
  auto history = [&](const std::string& release,
                     const std::string& current = "<Production>1.0</Production>") {
    return "<VelmoraVersionHistory><CurrentVersions>" + current + "</CurrentVersions><Release>" + release +
           "</Release></VelmoraVersionHistory>";
  };
  const std::string good =
      "<ProgramVersion>1.0</ProgramVersion><ProgramReleaseType>Production</ProgramReleaseType>"
      "<ProgramLocationFileName>s.exe</ProgramLocationFileName><ProgramSize>10</ProgramSize>"
      // Velmora carries no download credentials; a history that still says whether a password is needed
      // reads as any other.
      "<DownloadPasswordRequired>true</DownloadPasswordRequired>"
      "<ProgramSHA256>" +
      digest + "</ProgramSHA256>";
  ASSERT_TRUE(ParseVersionHistory(history(good)));

  const std::string without_digest = good.substr(0, good.find("<ProgramSHA256>"));
  const std::string short_digest = without_digest + "<ProgramSHA256>abc</ProgramSHA256>";
  const std::string bad_size = std::string(good).replace(good.find(">10<"), 4, ">-10<");
  const std::string beta_type = std::string(good).replace(good.find("Production"), 10, "Beta");
  const auto with_serial = [&](const std::string& serial) {
    return std::string(history(good))
        .insert(std::strlen("<VelmoraVersionHistory>"), "<Serial>" + serial + "</Serial>");
  };
  ASSERT_EQ(ParseVersionHistory(with_serial("7"))->Serial, 7U);
  for (const std::string& text :
       {history(without_digest), history(short_digest), history(bad_size), history(beta_type),
        history(good, "<Production>1.1</Production>"), with_serial("seven"), with_serial("-1"),
        with_serial(""), with_serial("18446744073709551616"), std::string("<VersionHistory/>"),
        std::string("not xml"), std::string()}) {
    EXPECT_FALSE(ParseVersionHistory(text)) << text;
  }
}

TEST(NewerReleasesTest, BetaCountsOnlyWhenAllowed) {
  TVersionHistory history;
  history.CurrentVersion = {"2.9.0.220", "2.9.1.0", "3.0.0.0"};
  for (const TReleaseType type : kReleaseTypes) {
    history.Releases.push_back(
        {history.Current(type), type, "", "s.exe", "", {}, 1, std::string(64, 'a'), "", ""});
  }
  const TPlatform windows = TPlatform::pfWindows;
  EXPECT_TRUE(NewerReleases(history, TReleaseType::rtProduction, "2.9.0.220", windows).empty());
  const auto offers = NewerReleases(history, TReleaseType::rtBeta, "2.9.0.220", windows);
  ASSERT_EQ(offers.size(), 1u);
  EXPECT_EQ(offers[0].ProgramVersion, "2.9.1.0");

  // Dialog order runs from beta down to production; the highest is the one announced.
  const auto both = NewerReleases(history, TReleaseType::rtBeta, "2.0", windows);
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[0].ProgramReleaseType, TReleaseType::rtBeta);
  EXPECT_EQ(both[1].ProgramReleaseType, TReleaseType::rtProduction);
  EXPECT_EQ(HighestNewerRelease(history, TReleaseType::rtBeta, "2.0", windows)->ProgramVersion, "2.9.1.0");
}

// Linux never sees a Windows installer, and Windows never a Linux package, of the same version.
TEST(NewerReleasesTest, EachSystemIsOfferedOnlyItsOwnFile) {
  UpdateSite site;
  site.AddRelease("3.0.0.0", TReleaseType::rtProduction, "windows", TPlatform::pfWindows);
  site.AddRelease("3.0.0.0", TReleaseType::rtProduction, "linux", TPlatform::pfLinux);
  site.AddRelease("3.1.0.0", TReleaseType::rtBeta, "windows beta", TPlatform::pfWindows);
  const TVersionHistory& history = site.History();

  const auto linux_offers = NewerReleases(history, TReleaseType::rtBeta, "2.0", TPlatform::pfLinux);
  ASSERT_EQ(linux_offers.size(), 1u);
  EXPECT_EQ(linux_offers[0].ProgramLocationFileName, "velmora_3.0.0.0_amd64.deb");
  const auto windows_offers = NewerReleases(history, TReleaseType::rtBeta, "2.0", TPlatform::pfWindows);
  ASSERT_EQ(windows_offers.size(), 2u);
  EXPECT_EQ(windows_offers[0].ProgramLocationFileName, "VelmoraSetup-3.1.0.0.exe");
  EXPECT_EQ(windows_offers[1].ProgramLocationFileName, "VelmoraSetup-3.0.0.0.exe");
}

TEST(ProgressTextTest, KilobytesRoundedToWholeNumbers) {
  EXPECT_EQ(ProgressText(120 * 1024, 2048 * 1024), QStringLiteral("120 / 2048 KB"));
  EXPECT_EQ(ProgressText(512, 1536), QStringLiteral("0 / 2 KB"));
  EXPECT_EQ(ProgressText(0, 0), QStringLiteral("0 / 0 KB"));
}

class DownloadTest : public testing::Test {
 protected:
  UpdateSite site_;
  QTemporaryDir local_;
};

TEST_F(DownloadTest, AVerifiedInstallerArrivesWithProgressEndingEmpty) {
  const QByteArray installer(300 * 1024, 'v');
  const TReleaseEntry release =
      site_.AddRelease("9.0.0.0", TReleaseType::rtProduction, installer, TPlatform::pfWindows);
  QStringList texts;
  const TDownloadResult result = DownloadInstaller(site_.Url(), release, local_.path(),
                                                   [&](const QString& text) { texts.append(text); });
  EXPECT_EQ(result.Error, QString());
  EXPECT_EQ(result.FileName, local_.filePath(QStringLiteral("VelmoraLast.exe")));
  EXPECT_EQ(ReadAll(result.FileName), installer);
  ASSERT_GE(texts.size(), 2);
  EXPECT_EQ(texts.back(), QString());
  EXPECT_EQ(texts[texts.size() - 2], QStringLiteral("300 / 300 KB"));
}

TEST_F(DownloadTest, AnInstallerThatIsNotWhatTheHistorySaysLeavesNoFile) {
  const QByteArray installer(64 * 1024, 'v');
  struct Case {
    const char* what;
    QByteArray served;
    const char* path;
  };
  QByteArray tampered = installer;
  tampered[100] = 'x';
  for (const Case& c :
       {Case{"wrong digest", tampered, "releases/"}, Case{"truncated", installer.left(1000), "releases/"},
        Case{"closed mid-transfer", installer, "cut/releases/"}}) {
    UpdateSite site;
    TReleaseEntry release =
        site.AddRelease("9.0.0.0", TReleaseType::rtProduction, c.served, TPlatform::pfWindows);
    release.ProgramSize = static_cast<std::uint64_t>(installer.size());
    release.ProgramSha256 = test::Sha256Hex(installer).toStdString();
    release.ProgramLocationPath = c.path;
    // An earlier download of that name must not survive a failed one either.
    QFile old(local_.filePath(QStringLiteral("VelmoraLast.exe")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    const TDownloadResult result = DownloadInstaller(site.Url(), release, local_.path());
    EXPECT_EQ(result.FileName, QString()) << c.what;
    EXPECT_FALSE(QFile::exists(local_.filePath(QStringLiteral("VelmoraLast.exe")))) << c.what;
    EXPECT_EQ(QDir(local_.path()).entryList(QDir::Files | QDir::Hidden), QStringList()) << c.what;
  }
}

TEST_F(DownloadTest, AClosedPortFailsAtOnceAndAMissingFileFailsToo) {
  QElapsedTimer clock;
  clock.start();
  const QString closed = QStringLiteral("http://127.0.0.1:%1/").arg(test::ClosedLoopbackPort());
  EXPECT_EQ(LoadFile(closed, kVersionFileName, local_.path(), kLocalVersionInfoFileName).FileName, QString());
  EXPECT_LT(clock.elapsed(), kConnectTimeoutMs + 500);
  EXPECT_EQ(
      LoadFile(site_.Url(), QStringLiteral("nothing.xml"), local_.path(), kLocalVersionInfoFileName).FileName,
      QString());
  EXPECT_EQ(LoadFile(QString(), kVersionFileName, local_.path(), kLocalVersionInfoFileName).FileName,
            QString());
}

// A packaged build trusts the key it was built with, whatever the environment of the moment says.
TEST(ReleaseKeyTest, TheEnvironmentCountsOnlyInABuildWithoutAKey) {
  const std::string built_in = ToBase64(MakeKeyPair().Public);
  const std::string environment = ToBase64(MakeKeyPair().Public);
  struct Case {
    std::string built_in;
    std::string environment;
    std::optional<TPublicKey> chosen;
  };
  for (const Case& c :
       {Case{built_in, environment, KeyFromBase64(built_in)}, Case{built_in, "", KeyFromBase64(built_in)},
        Case{"", environment, KeyFromBase64(environment)}, Case{"", "", std::nullopt},
        Case{"garbage", environment, std::nullopt}, Case{"", "garbage", std::nullopt}}) {
    EXPECT_EQ(ChooseReleaseKey(c.built_in, c.environment), c.chosen) << c.built_in << " / " << c.environment;
  }
}

class FetchVersionHistoryTest : public testing::Test {
 protected:
  QStringList LocalFiles() const { return QDir(local_.path()).entryList(QDir::Files | QDir::Hidden); }
  void Overwrite(const QString& name, const QByteArray& bytes) {
    QFile file(QDir(site_.Folder()).filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
  }

  UpdateSite site_;
  QTemporaryDir local_;
};

TEST_F(FetchVersionHistoryTest, ASignedHistoryIsReadAndOnlyItsCopyStays) {
  site_.AddRelease("9.0.0.0", TReleaseType::rtProduction, "x");
  site_.Publish();
  QString failure;
  EXPECT_EQ(FetchVersionHistory(site_.Url(), local_.path(), &failure), site_.History())
      << failure.toStdString();
  EXPECT_EQ(LocalFiles(), QStringList{kLocalVersionInfoFileName});
}

TEST_F(FetchVersionHistoryTest, AHistoryWithoutAValidSignatureIsNotReadAndLeavesNothing) {
  site_.AddRelease("9.0.0.0", TReleaseType::rtProduction, "x");
  const QByteArray signed_text = QByteArray::fromStdString(VersionHistoryXml(site_.History()));
  // Someone on the path raises the version and serves a package of their own with its own digest.
  TVersionHistory forged = site_.History();
  forged.CurrentVersion[0] = "10.0.0.0";
  forged.Releases[0].ProgramVersion = "10.0.0.0";
  forged.Releases[0].ProgramSha256 = std::string(64, 'f');
  const QByteArray forged_text = QByteArray::fromStdString(VersionHistoryXml(forged));
  struct Case {
    const char* what;
    std::function<void()> publish;
    const char* reason;
  };
  const Case cases[] = {{"no signature", [&] { site_.PublishUnsigned(signed_text); }, "is not signed"},
                        {"signed by another key", [&] { site_.PublishSignedBy(signed_text, MakeKeyPair()); },
                         "does not carry a valid signature"},
                        {"changed after signing",
                         [&] {
                           site_.PublishText(signed_text);
                           Overwrite(QStringLiteral("VelmoraVersion.xml"), forged_text);
                         },
                         "does not carry a valid signature"},
                        {"signature that is no signature",
                         [&] {
                           site_.PublishText(signed_text);
                           Overwrite(QStringLiteral("VelmoraVersion.xml.sig"), "<html>404</html>");
                         },
                         "does not carry a valid signature"}};
  for (const Case& c : cases) {
    c.publish();
    QString failure;
    EXPECT_FALSE(FetchVersionHistory(site_.Url(), local_.path(), &failure)) << c.what;
    EXPECT_TRUE(failure.contains(QLatin1String(c.reason))) << c.what << ": " << failure.toStdString();
    EXPECT_EQ(LocalFiles(), QStringList()) << c.what;
  }
}

TEST_F(FetchVersionHistoryTest, AHistoryOlderThanOneAlreadySeenIsRefused) {
  const QString seen = local_.filePath(QStringLiteral("seen/VelmoraVersionSerial"));
  site_.AddRelease("9.0.0.0", TReleaseType::rtProduction, "x");
  struct Step {
    const char* what;
    std::uint64_t serial;  // 0: a history from before serials
    bool taken;
    std::uint64_t remembered;
  };
  const Step steps[] = {
      {"a history from before serials, none seen", 0, true, 0},
      {"the first with a serial", 5, true, 5},
      {"the same one again", 5, true, 5},
      {"an older one", 4, false, 5},
      {"one from before serials, after one with a serial", 0, false, 5},
      {"a newer one", 6, true, 6},
  };
  for (const Step& step : steps) {
    site_.History().Serial = step.serial;
    site_.Publish();
    QString failure;
    const auto history = FetchVersionHistory(site_.Url(), local_.path(), &failure, seen);
    EXPECT_EQ(history.has_value(), step.taken) << step.what;
    if (!step.taken) {
      EXPECT_TRUE(failure.contains(QStringLiteral("is an older version history (serial %1) than one already "
                                                  "seen (serial %2)")
                                       .arg(step.serial)
                                       .arg(step.remembered)))
          << step.what << ": " << failure.toStdString();
    }
    QFile file(seen);
    const QByteArray remembered = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray("0");
    EXPECT_EQ(remembered, QByteArray::number(static_cast<qulonglong>(step.remembered))) << step.what;
  }
}

TEST_F(FetchVersionHistoryTest, WithoutAReleaseKeyNothingIsFetched) {
  site_.AddRelease("9.0.0.0", TReleaseType::rtProduction, "x");
  site_.Publish();
  const QByteArray key = qgetenv("VELMORA_RELEASE_PUBLIC_KEY");
  qunsetenv("VELMORA_RELEASE_PUBLIC_KEY");
  QString failure;
  EXPECT_FALSE(FetchVersionHistory(site_.Url(), local_.path(), &failure));
  qputenv("VELMORA_RELEASE_PUBLIC_KEY", key);
  EXPECT_TRUE(failure.contains(QLatin1String("no release key"))) << failure.toStdString();
  EXPECT_EQ(site_.Server().NextRequest(200), "");
}

// What is larger than any history is refused once that shows, not read to its end first.
TEST_F(FetchVersionHistoryTest, AHistoryLargerThanTheCapIsRefusedWithoutReadingItWhole) {
  site_.PublishText(QByteArray(static_cast<qsizetype>(kMaxHistorySize) + 1, ' '));
  for (const char* path : {"", "endless/", "announce/"}) {
    QElapsedTimer clock;
    clock.start();
    QString failure;
    EXPECT_FALSE(FetchVersionHistory(site_.Url() + QLatin1String(path), local_.path(), &failure)) << path;
    EXPECT_LT(clock.elapsed(), 5000) << path;
    EXPECT_TRUE(failure.contains(QStringLiteral("is larger than %1 bytes").arg(kMaxHistorySize)))
        << path << ": " << failure.toStdString();
    EXPECT_EQ(LocalFiles(), QStringList()) << path;
  }
}

class VersionCheckTest : public testing::Test {
 protected:
  VersionCheckTest() { settings_.LocalDirectory = data_.filePath(QStringLiteral("Update")); }

  QTemporaryDir config_;
  QTemporaryDir data_;
  app::TSettingsFile file_{config_.filePath(QStringLiteral("Velmora/Velmora.xml"))};
  TWebUpdateStore store_{file_};
  TWebUpdateSettings settings_;
  UpdateSite site_;
};

TEST_F(VersionCheckTest, SevenDaysDoesNotCheckOneDayAfterTheLastCheck) {
  site_.AddRelease("9.0.0.0", TReleaseType::rtProduction, "x");
  site_.Publish();
  const QDateTime now = QDateTime::currentDateTimeUtc();
  settings_.CheckFrequency = 7;
  settings_.LastCheck = now.addDays(-1);
  store_.Store(settings_);
  const QByteArray before = ReadAll(file_.Path());

  const TVersionCheckOutcome outcome = RunVersionCheck(store_, settings_, now, site_.Url(), "1.0.0.0");
  EXPECT_FALSE(outcome.Due);
  EXPECT_EQ(site_.Server().NextRequest(200), "");
  EXPECT_EQ(ReadAll(file_.Path()), before);

  // Eight days after it, the check is due again.
  TWebUpdateSettings later = settings_;
  const TVersionCheckOutcome due = RunVersionCheck(store_, later, now.addDays(7), site_.Url(), "1.0.0.0");
  EXPECT_TRUE(due.Due);
  EXPECT_EQ(site_.Server().NextRequest(2000), "/VelmoraVersion.xml");
  ASSERT_EQ(due.Offers.size(), 1u);
  EXPECT_EQ(store_.Load({}).LastCheck, now.addDays(7));
}

TEST_F(VersionCheckTest, AtStartupChecksEveryTimeAndKeepsAReadableLocalCopy) {
  site_.AddRelease("9.0.0.0", TReleaseType::rtProduction, "x");
  site_.AddRelease("9.1.0.0", TReleaseType::rtBeta, "y");
  site_.Publish();
  const QDateTime now = QDateTime::currentDateTimeUtc();
  for (int run = 0; run < 2; ++run) {
    const TVersionCheckOutcome outcome =
        RunVersionCheck(store_, settings_, now.addSecs(run), site_.Url(), "1.0");
    EXPECT_TRUE(outcome.Due);
    ASSERT_TRUE(outcome.History);
    EXPECT_EQ(outcome.History, site_.History());
    ASSERT_EQ(outcome.Offers.size(), 1u) << "production only";
  }
  const QByteArray copy = ReadAll(data_.filePath(QStringLiteral("Update/VelmoraVersionLocal.xml")));
  EXPECT_EQ(ParseVersionHistory(copy.toStdString()), site_.History());
}

TEST_F(VersionCheckTest, DownloadsGoToAFolderOnlyItsOwnerCanChange) {
  site_.AddRelease("9.0.0.0", TReleaseType::rtProduction, "x");
  site_.Publish();
  QTemporaryDir cache;
  const QByteArray shared_cache = qgetenv("XDG_CACHE_HOME");
  qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
  const QString fallback = cache.filePath(QStringLiteral("Velmora/Update"));
  const QString wide_open = data_.filePath(QStringLiteral("wide-open"));
  QDir().mkpath(wide_open);
  QFile::setPermissions(wide_open, QFileDevice::Permissions(0x7777));
  const QString elsewhere = data_.filePath(QStringLiteral("elsewhere"));
  QDir().mkpath(elsewhere);
  const QString link = data_.filePath(QStringLiteral("link"));
  QFile::link(elsewhere, link);
  const QFileDevice::Permissions owner_only = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ReadUser |
                                              QFileDevice::WriteUser | QFileDevice::ExeUser;
  const struct {
    const char* what;
    QString directory;
    QString used;
  } cases[] = {
      {"a new folder", data_.filePath(QStringLiteral("new/Update")),
       data_.filePath(QStringLiteral("new/Update"))},
      {"a folder open to everyone", wide_open, wide_open},
      {"a symbolic link", link, fallback},
      {"none", QString(), fallback},
  };
  for (const auto& c : cases) {
    TWebUpdateStore store(file_);
    TWebUpdateSettings settings;
    settings.LocalDirectory = c.directory;
    store.Store(settings);
    const TVersionCheckOutcome outcome =
        RunVersionCheck(store, settings, QDateTime::currentDateTimeUtc(), site_.Url(), "1.0");
    EXPECT_EQ(outcome.LocalDirectory.toStdString(), c.used.toStdString()) << c.what;
    EXPECT_TRUE(outcome.History) << c.what;
    EXPECT_EQ(QFile::permissions(c.used), owner_only) << c.what;
    EXPECT_FALSE(c.used.startsWith(QDir::tempPath() + QStringLiteral("/VelmoraUpdate"))) << c.what;
  }
  EXPECT_TRUE(QDir(elsewhere).isEmpty()) << "nothing went through the link";
  qputenv("XDG_CACHE_HOME", shared_cache);
}

TEST(FileIsExpectedTest, OnlyTheVerifiedBytesAreTheExpectedFile) {
  QTemporaryDir folder;
  const QByteArray installer(4096, 'i');
  const TExpectedFile expected{4096, test::Sha256Hex(installer)};
  QByteArray changed = installer;
  changed[100] = 'X';
  const struct {
    const char* what;
    std::optional<QByteArray> content;
    bool matches;
  } cases[] = {
      {"as downloaded", installer, true},
      {"one byte changed", changed, false},
      {"one byte more", installer + "!", false},
      {"cut short", installer.left(4095), false},
      {"gone", std::nullopt, false},
  };
  for (const auto& c : cases) {
    const QString name = folder.filePath(QStringLiteral("VelmoraLast.exe"));
    QFile::remove(name);
    if (c.content) {
      QFile file(name);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(*c.content);
    }
    EXPECT_EQ(FileIsExpected(name, expected), c.matches) << c.what;
  }
}

TEST_F(VersionCheckTest, AHistoryThatDoesNotParseEndsTheCheckQuietlyButCountsAsACheck) {
  site_.PublishText("<html>503 Service Unavailable</html>");
  const QDateTime now = QDateTime::currentDateTimeUtc();
  settings_.CheckFrequency = 1;
  const TVersionCheckOutcome outcome = RunVersionCheck(store_, settings_, now, site_.Url(), "1.0");
  EXPECT_TRUE(outcome.Due);
  EXPECT_FALSE(outcome.History);
  EXPECT_TRUE(outcome.Offers.empty());
  EXPECT_EQ(store_.Load({}).LastCheck, now);
}

TEST(WebUpdateStoreTest, ReplacesOnlyItsOwnSubtreeInTheOneSettingsFileAndSurvivesARestart) {
  QTemporaryDir folder;
  const QString name = folder.filePath(QStringLiteral("Velmora/Velmora.xml"));
  QDir().mkpath(folder.filePath(QStringLiteral("Velmora")));
  QFile file(name);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(
      "<Configuration><Velmora><Port>6001</Port></Velmora><WebUpdate><Old/></WebUpdate></Configuration>");
  file.close();

  TWebUpdateSettings settings;
  settings.AllowedReleaseType = TReleaseType::rtBeta;
  settings.CheckFrequency = 15;
  settings.LastCheck = QDateTime(QDate(2026, 12, 1), QTime(10, 30), Qt::UTC);
  settings.LocalDirectory = QStringLiteral("/home/driver/.local/share/Velmora/Update");
  settings.LocationHTTP = {
      {QStringLiteral("http://127.0.0.1:8080/"), QStringLiteral("http://127.0.0.1:8081/")},
      QStringLiteral("VelmoraVersion.xml")};
  {
    app::TSettingsFile running(name);
    const TWebUpdateStore store(running);
    store.Store(settings);
    EXPECT_TRUE(store.HasEntries());
    // The window keeps writing its own entries through the same file.
    running.WriteInteger("Velmora\\Port", 6002);
  }
  const QByteArray text = ReadAll(name);
  EXPECT_TRUE(text.contains("<Port>6002</Port>"));
  EXPECT_FALSE(text.contains("<Old"));
  EXPECT_EQ(text.count("<WebUpdate>"), 1);
  EXPECT_FALSE(QFile::exists(name + QStringLiteral(".lock")));

  // The next start reads back what was stored; missing entries keep their defaults.
  app::TSettingsFile restarted(name);
  const TWebUpdateStore store(restarted);
  EXPECT_EQ(store.Load({}), settings);
  restarted.DeleteEntry("WebUpdate\\LocalDirectory");
  restarted.DeleteEntry("WebUpdate\\LocationHTTP");
  TWebUpdateSettings defaults;
  defaults.LocalDirectory = QStringLiteral("/elsewhere");
  const TWebUpdateSettings partial = store.Load(defaults);
  EXPECT_EQ(partial.LocalDirectory, QStringLiteral("/elsewhere"));
  EXPECT_EQ(partial.LocationHTTP, TLocationHTTP{});
  EXPECT_EQ(partial.LastCheck, settings.LastCheck);

  // Never checked: no date.
  settings.LastCheck = {};
  store.Store(settings);
  EXPECT_FALSE(store.Load({}).LastCheck.isValid());
}

}  // namespace
}  // namespace velmora::update

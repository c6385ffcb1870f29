// velmora-cli update-check against a real HTTP server on 127.0.0.1.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

#include <gtest/gtest.h>

#include "run_program.h"
#include "update_site.h"

namespace velmora::update {
namespace {

using test::Outcome;

class UpdateCheckCommandTest : public testing::Test {
 protected:
  Outcome Run(const QString& url, std::vector<std::string> arguments) {
    setenv("VELMORA_UPDATE_URL", url.toUtf8().constData(), 1);
    arguments.insert(arguments.begin(), {VELMORA_CLI_PATH, "update-check"});
    Outcome run = test::RunProgram(arguments);
    unsetenv("VELMORA_UPDATE_URL");
    return run;
  }

  std::string Running() {
    const Outcome version = test::RunProgram({VELMORA_CLI_PATH, "update-check"});
    const auto start = version.out.find("\"running\": \"") + 12;
    return version.out.substr(start, version.out.find('"', start) - start);
  }

  test::UpdateSite site_;
  QTemporaryDir downloads_;
};

TEST_F(UpdateCheckCommandTest, OffersTheNewestAllowedReleaseAndNothingWhenThereIsNone) {
  const std::string running = Running();
  site_.AddRelease("0.0.0.1", TReleaseType::rtProduction, "old");
  site_.AddRelease("99.0.0.0", TReleaseType::rtBeta, "new");
  site_.Publish();

  const Outcome production = Run(site_.Url(), {});
  EXPECT_EQ(production.status, 0) << production.err;
  EXPECT_EQ(production.out, "{\n  \"running\": \"" + running + "\",\n  \"offered\": null\n}\n");

  const Outcome beta = Run(site_.Url(), {"--beta"});
  EXPECT_EQ(beta.status, 0) << beta.err;
  EXPECT_EQ(beta.out,
            "{\n  \"running\": \"" + running +
                "\",\n  \"offered\": {\n    \"version\": \"99.0.0.0\",\n    \"type\": \"Beta\"\n  }\n}\n");
}

TEST_F(UpdateCheckCommandTest, DownloadsAVerifiedInstallerAndNamesIt) {
  site_.AddRelease("99.0.0.0", TReleaseType::rtProduction, QByteArray(5000, 'i'));
  site_.Publish();
  const Outcome run = Run(site_.Url(), {"--download", downloads_.path().toStdString()});
  EXPECT_EQ(run.status, 0) << run.err;
  const QString file = downloads_.filePath(QStringLiteral("VelmoraLast.deb"));
  EXPECT_NE(run.out.find("\"file\": \"" + file.toStdString() + "\""), std::string::npos) << run.out;
  EXPECT_EQ(QFile(file).size(), 5000);
}

TEST_F(UpdateCheckCommandTest, AnInstallerThatDoesNotVerifyFailsWithStatus5AndLeavesNothing) {
  TReleaseEntry& release = site_.AddRelease("99.0.0.0", TReleaseType::rtProduction, "installer");
  release.ProgramSha256 = std::string(64, 'b');
  site_.Publish();
  const Outcome run = Run(site_.Url(), {"--download", downloads_.path().toStdString()});
  EXPECT_EQ(run.status, 5);
  EXPECT_EQ(run.err.rfind("The file download was not successful!\nPlease try again manually.\n", 0), 0u)
      << run.err;
  EXPECT_EQ(run.out.find("\"file\""), std::string::npos);
  EXPECT_EQ(QDir(downloads_.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST_F(UpdateCheckCommandTest, NoLocationMeansNothingOffered) {
  const Outcome run = Run(QString(), {"--download", downloads_.path().toStdString()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("\"offered\": null"), std::string::npos) << run.out;
}

// A script must tell "nothing newer" from "could not look", and a history that cannot be trusted is one
// that could not be looked at.
TEST_F(UpdateCheckCommandTest, ACheckThatCannotBeMadeSaysWhyWithStatus4AndDownloadsNothing) {
  site_.PublishText("<html>not a version history</html>");
  test::UpdateSite unsigned_site;
  unsigned_site.AddRelease("99.0.0.0", TReleaseType::rtProduction, "package");
  unsigned_site.PublishUnsigned(QByteArray::fromStdString(VersionHistoryXml(unsigned_site.History())));
  test::UpdateSite foreign_site;
  foreign_site.AddRelease("99.0.0.0", TReleaseType::rtProduction, "package");
  foreign_site.PublishSignedBy(QByteArray::fromStdString(VersionHistoryXml(foreign_site.History())),
                               MakeKeyPair());
  const struct {
    QString url;
    bool with_key;
    const char* reason;
  } cases[] = {{QStringLiteral("http://127.0.0.1:%1/").arg(test::ClosedLoopbackPort()), true, "cannot fetch"},
               {site_.Url(), true, "is not a version history"},
               {QStringLiteral("file:///etc/"), true, "not an http or https location"},
               {unsigned_site.Url(), true, "is not signed"},
               {foreign_site.Url(), true, "does not carry a valid signature"},
               {foreign_site.Url(), false, "no release key is built in"}};
  const QByteArray key = qgetenv("VELMORA_RELEASE_PUBLIC_KEY");
  for (const auto& c : cases) {
    if (!c.with_key) {
      qunsetenv("VELMORA_RELEASE_PUBLIC_KEY");
    }
    const Outcome run = Run(c.url, {"--download", downloads_.path().toStdString()});
    qputenv("VELMORA_RELEASE_PUBLIC_KEY", key);
    EXPECT_EQ(run.status, 4) << c.reason;
    EXPECT_EQ(run.out, "") << c.reason;
    EXPECT_EQ(run.err.rfind("velmora-cli update-check: could not check for updates: ", 0), 0U) << run.err;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    EXPECT_EQ(QDir(downloads_.path()).entryList(QDir::Files | QDir::Hidden), QStringList()) << c.reason;
  }
}

TEST_F(UpdateCheckCommandTest, AHistoryOlderThanOneAlreadySeenOffersNothingAndEndsWithStatus4) {
  // A settings folder of this test's own, where no history has been seen yet.
  QTemporaryDir settings;
  const QByteArray shared_settings = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
  site_.AddRelease("99.0.0.0", TReleaseType::rtProduction, "package");
  const struct {
    std::uint64_t serial;
    int status;
  } steps[] = {{0, 0}, {3, 0}, {2, 4}, {0, 4}, {3, 0}};
  for (const auto& step : steps) {
    site_.History().Serial = step.serial;
    site_.Publish();
    const Outcome run = Run(site_.Url(), {});
    EXPECT_EQ(run.status, step.status) << step.serial << " " << run.err;
    if (step.status == 0) {
      EXPECT_NE(run.out.find("\"version\": \"99.0.0.0\""), std::string::npos) << run.out;
    } else {
      EXPECT_EQ(run.out, "");
      EXPECT_NE(run.err.find("could not check for updates: " + site_.Url().toStdString() +
                             "VelmoraVersion.xml is an older version history (serial " +
                             std::to_string(step.serial) + ") than one already seen (serial 3)"),
                std::string::npos)
          << run.err;
    }
  }
  qputenv("XDG_CONFIG_HOME", shared_settings);
}

TEST_F(UpdateCheckCommandTest, RefusesUnknownArguments) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--download"}, std::vector<std::string>{"--alpha"}}) {
    const Outcome run = Run(QString(), arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("usage: velmora-cli update-check [--beta] [--download DIR]"), std::string::npos);
  }
}

}  // namespace
}  // namespace velmora::update

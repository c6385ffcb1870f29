// The update check as a person meets it: the "Update" menu of a window, the upgrade dialog, the progress
// window and the messages, against a real HTTP server on 127.0.0.1.
#include "app/web_update.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <deque>
#include <functional>

#include <gtest/gtest.h>

#include "app/settings_file.h"
#include "app/upgrade_dialog.h"
#include "modal_answers.h"
#include "update_site.h"

namespace velmora::app {
namespace {

using test::ModalAnswers;
using test::UpdateSite;
using test::Within;

ModalAnswers::Answer Choose(const char* release, const char* operation) {
  return [=](QWidget& dialog) {
    for (auto* radio : dialog.findChildren<QRadioButton*>()) {
      if (radio->objectName() == QLatin1String(release) || radio->text() == QLatin1String(operation)) {
        radio->setChecked(true);
      }
    }
    dialog.findChild<QPushButton*>(QStringLiteral("btn_Execute"))->click();
  };
}

ModalAnswers::Answer Press(QMessageBox::StandardButton button) {
  return [=](QWidget& widget) {
    auto* box = qobject_cast<QMessageBox*>(&widget);
    ASSERT_NE(box, nullptr) << widget.objectName().toStdString();
    box->button(button)->click();
  };
}

// The captions of the windows named `name` as they are shown.
class ShownWindows final : public QObject {
 public:
  explicit ShownWindows(const char* name) : name_(QString::fromLatin1(name)) {
    QApplication::instance()->installEventFilter(this);
  }
  ~ShownWindows() override { QApplication::instance()->removeEventFilter(this); }
  const QStringList& Captions() const { return captions_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType() && watched->objectName() == name_) {
      captions_.append(static_cast<QWidget*>(watched)->windowTitle());
    }
    return false;
  }

 private:
  QString name_;
  QStringList captions_;
};

constexpr const char* kRunning = "2.9.0.220";
constexpr update::TPlatform kWindows = update::TPlatform::pfWindows;

class WebUpdateFixture : public testing::Test {
 protected:
  explicit WebUpdateFixture(update::TPlatform platform)
      : update_(window_, update::TWebUpdateStore(settings_file_), kRunning, platform) {
    update_.BuildMenu(menu_);
    update_.Settings().LocalDirectory = data_.filePath(QStringLiteral("Update"));
    window_.show();
  }
  ~WebUpdateFixture() override { qunsetenv("VELMORA_UPDATE_URL"); }

  void Serve() { qputenv("VELMORA_UPDATE_URL", site_.Url().toUtf8()); }

  QString Installer() const { return data_.filePath(QStringLiteral("Update/VelmoraLast.exe")); }

  QTemporaryDir config_;
  QTemporaryDir data_;
  TSettingsFile settings_file_{config_.filePath(QStringLiteral("Velmora/Velmora.xml"))};
  UpdateSite site_;
  QWidget window_;
  QMenu menu_;
  TWebUpdate update_;
};

// The Windows build's check, whose installers start: on Linux a shell script stands in for one.
class WebUpdateTest : public WebUpdateFixture {
 protected:
  WebUpdateTest() : WebUpdateFixture(kWindows) {}
};

// The check of this Linux build.
class LinuxWebUpdateTest : public WebUpdateFixture {
 protected:
  LinuxWebUpdateTest() : WebUpdateFixture(update::TPlatform::pfLinux) {}

  QString Package() const { return data_.filePath(QStringLiteral("Update/VelmoraLast.deb")); }
};

// Takes the folders the program asks the desktop to open.
class FolderOpener final : public QObject {
  Q_OBJECT

 public:
  FolderOpener() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open"); }
  ~FolderOpener() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
  const QList<QUrl>& Opened() const { return opened_; }

 public slots:
  void Open(const QUrl& url) { opened_.append(url); }

 private:
  QList<QUrl> opened_;
};

// The operations the upgrade dialog offers ("*" after the chosen one), then Execute.
ModalAnswers::Answer ExecuteNoting(QStringList& operations) {
  return [&operations](QWidget& dialog) {
    for (auto* radio : dialog.findChildren<QRadioButton*>()) {
      if (!radio->objectName().startsWith(QLatin1String("rb_"))) {
        operations.append(radio->text() + (radio->isChecked() ? QStringLiteral("*") : QString()));
      }
    }
    dialog.findChild<QPushButton*>(QStringLiteral("btn_Execute"))->click();
  };
}

TEST_F(WebUpdateTest, BetaIsOfferedOnlyWithBetaCheckedAndDownloadOnlyNamesTheFile) {
  site_.AddRelease(kRunning, update::TReleaseType::rtProduction, "same", kWindows);
  site_.AddRelease("2.9.1.0", update::TReleaseType::rtBeta, QByteArray(4096, 'b'), kWindows);
  site_.Publish();
  Serve();

  ModalAnswers none({});
  update_.Items().CheckUpdateNow1->trigger();
  EXPECT_TRUE(none.Seen().isEmpty()) << none.Seen().join(QLatin1Char('|')).toStdString();

  update_.Items().Beta1->trigger();
  ModalAnswers answers({Choose("rb_Beta", "Download/Copy &Only"), Press(QMessageBox::Ok)});
  const ShownWindows progress("DownloadProgress");
  update_.Items().CheckUpdateNow1->trigger();
  ASSERT_TRUE(Within(5000, [&] { return answers.AllGiven(); }));
  // The progress window stood over the download and is gone with it.
  EXPECT_EQ(progress.Captions(), QStringList{QStringLiteral("Velmora Download")});
  EXPECT_EQ(window_.findChildren<QDialog*>(QStringLiteral("DownloadProgress")).size(), 0);
  EXPECT_EQ(
      answers.Seen(),
      (QStringList{QStringLiteral("Velmora Upgrade Check"),
                   QStringLiteral("Velmora: The file download was successful.\r\nInstall manually from: ") +
                       Installer()}));
  EXPECT_EQ(QFile(Installer()).size(), 4096);
  EXPECT_TRUE(window_.isVisible());
}

TEST_F(WebUpdateTest, DownloadAndInstallStartsTheInstallerWithItsParametersAndCloses) {
  const QString marker = data_.filePath(QStringLiteral("installed.txt"));
  const QByteArray script = "#!/bin/sh\nprintf '%s|' \"$@\" > '" + marker.toUtf8() + "'\n";
  update::TReleaseEntry& release =
      site_.AddRelease("2.10.0.0", update::TReleaseType::rtProduction, script, kWindows);
  release.LocalInstallerParams = "--silent \"C:/Program Files/Velmora\"";
  site_.Publish();
  Serve();

  ModalAnswers answers({Choose("rb_Production", "Download/Copy and &Install"), Press(QMessageBox::Yes)});
  update_.RunCheck();
  EXPECT_EQ(
      answers.Seen().value(1),
      QStringLiteral("Velmora: The file download was successful.\r\nDo you want to close and install?"));
  ASSERT_TRUE(Within(5000, [&] { return QFile::exists(marker) && QFile(marker).size() > 0; }));
  QFile written(marker);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(written.readAll(), "--silent|C:/Program Files/Velmora|");
  EXPECT_TRUE(Within(2000, [&] { return !window_.isVisible(); }));
}

TEST_F(WebUpdateTest, AnInstallerThatDoesNotVerifyIsNeverStarted) {
  const QString marker = data_.filePath(QStringLiteral("installed.txt"));
  const QByteArray script = "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n";
  struct Case {
    const char* what;
    QByteArray served;
    const char* path;
    const char* message;
  };
  for (const Case& c : {Case{"wrong digest", script + "#", "releases/",
                             "The file download was not successful!\r\nPlease try again manually."},
                        Case{"truncated", script.left(10), "releases/",
                             "The file download was not successful!\r\nPlease try again manually."},
                        Case{"closed mid-transfer", script, "cut/releases/", nullptr}}) {
    UpdateSite site;
    update::TReleaseEntry& release =
        site.AddRelease("3.0.0.0", update::TReleaseType::rtProduction, c.served, kWindows);
    release.ProgramSize = static_cast<std::uint64_t>(script.size());
    release.ProgramSha256 = test::Sha256Hex(script).toStdString();
    release.ProgramLocationPath = c.path;
    site.Publish();
    qputenv("VELMORA_UPDATE_URL", site.Url().toUtf8());

    ModalAnswers answers({Choose("rb_Production", "Download/Copy and &Install"), Press(QMessageBox::Ok)});
    update_.RunCheck();
    ASSERT_EQ(answers.Seen().size(), 2) << c.what;
    if (c.message != nullptr) {
      EXPECT_EQ(answers.Seen()[1], QStringLiteral("Velmora: ") + QLatin1String(c.message)) << c.what;
    } else {
      EXPECT_TRUE(answers.Seen()[1].startsWith(QStringLiteral("Velmora: "))) << c.what;
    }
    EXPECT_FALSE(QFile::exists(Installer())) << c.what;
    EXPECT_FALSE(QFile::exists(marker)) << c.what;
  }
}

TEST_F(WebUpdateTest, AnInstallerReplacedAfterItsDownloadIsNotStarted) {
  const QString marker = data_.filePath(QStringLiteral("installed.txt"));
  site_.AddRelease("2.10.0.0", update::TReleaseType::rtProduction, "#!/bin/sh\ntrue\n", kWindows);
  site_.Publish();
  Serve();
  // While the question is asked, another program swaps the verified file for its own.
  const ModalAnswers::Answer swap_then_yes = [&](QWidget& box) {
    QFile installer(Installer());
    ASSERT_TRUE(installer.open(QIODevice::WriteOnly | QIODevice::Truncate));
    installer.write("#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
    installer.close();
    Press(QMessageBox::Yes)(box);
  };
  ModalAnswers answers(
      {Choose("rb_Production", "Download/Copy and &Install"), swap_then_yes, Press(QMessageBox::Ok)});
  update_.RunCheck();
  ASSERT_EQ(answers.Seen().size(), 3);
  EXPECT_EQ(answers.Seen()[2],
            QStringLiteral("Velmora: The file download was not successful!\r\nPlease try again manually."));
  EXPECT_FALSE(Within(500, [&] { return QFile::exists(marker); }));
  EXPECT_FALSE(QFile::exists(Installer()));
  EXPECT_TRUE(window_.isVisible());
}

TEST_F(WebUpdateTest, AnUnreachableServerEndsTheCheckQuicklyAndQuietly) {
  qputenv("VELMORA_UPDATE_URL",
          QStringLiteral("http://127.0.0.1:%1/").arg(test::ClosedLoopbackPort()).toUtf8());
  ModalAnswers none({});
  QElapsedTimer clock;
  clock.start();
  update_.RunCheck();
  EXPECT_LT(clock.elapsed(), 1500);
  QApplication::processEvents();
  EXPECT_TRUE(none.Seen().isEmpty());
}

TEST_F(WebUpdateTest, TheStartupCheckRunsThreeSecondsAfterStartAndCloseForgetsTheLocation) {
  site_.AddRelease("2.9.0.221", update::TReleaseType::rtProduction, "x", kWindows);
  site_.Publish();
  Serve();
  ModalAnswers answers({[](QWidget& dialog) { static_cast<QDialog&>(dialog).reject(); }});
  QElapsedTimer clock;
  clock.start();
  update_.StartTimer();
  ASSERT_TRUE(Within(6000, [&] { return answers.AllGiven(); }));
  EXPECT_GE(clock.elapsed(), 3000);

  const QString settings_file = config_.filePath(QStringLiteral("Velmora/Velmora.xml"));
  QFile during(settings_file);
  ASSERT_TRUE(during.open(QIODevice::ReadOnly));
  EXPECT_TRUE(during.readAll().contains(site_.Url().toUtf8()));
  update_.StoreAtClose();
  QFile after(settings_file);
  ASSERT_TRUE(after.open(QIODevice::ReadOnly));
  const QByteArray text = after.readAll();
  EXPECT_TRUE(text.contains("<WebUpdate>"));
  EXPECT_FALSE(text.contains("127.0.0.1"));
}

TEST_F(LinuxWebUpdateTest, OffersTheDebianPackageNeverTheInstallerAndOpensTheFolderOnceItVerifies) {
  const QString marker = data_.filePath(QStringLiteral("installed.txt"));
  site_.AddRelease("3.0.0.0", update::TReleaseType::rtProduction,
                   "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n", kWindows);
  const QByteArray package(5000, 'd');
  site_.AddRelease("3.0.0.0", update::TReleaseType::rtProduction, package, update::TPlatform::pfLinux);
  site_.Publish();
  Serve();

  FolderOpener opener;
  QStringList operations;
  ModalAnswers answers({ExecuteNoting(operations), Press(QMessageBox::Yes)});
  update_.RunCheck();
  ASSERT_TRUE(Within(5000, [&] { return answers.AllGiven(); }));
  EXPECT_EQ(operations, (QStringList{QStringLiteral("I&gnore"), QStringLiteral("Download/Copy &Only*")}));
  EXPECT_EQ(answers.Seen().value(1), QStringLiteral("Velmora: The file download was successful.\r\nInstall "
                                                    "manually from: ") +
                                         Package() + QStringLiteral("\r\nDo you want to open its folder?"));
  EXPECT_EQ(opener.Opened(), QList<QUrl>{QUrl::fromLocalFile(data_.filePath(QStringLiteral("Update")))});
  QFile saved(Package());
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll(), package);
  QApplication::processEvents();
  EXPECT_FALSE(QFile::exists(marker));
  EXPECT_FALSE(QFile::exists(Installer()));
  EXPECT_TRUE(window_.isVisible());
}

TEST_F(LinuxWebUpdateTest, APackageThatDoesNotVerifyIsNeitherKeptNorShown) {
  update::TReleaseEntry& release =
      site_.AddRelease("3.0.0.0", update::TReleaseType::rtProduction, "package", update::TPlatform::pfLinux);
  release.ProgramSha256 = std::string(64, 'e');
  site_.Publish();
  Serve();
  FolderOpener opener;
  QStringList operations;
  ModalAnswers answers({ExecuteNoting(operations), Press(QMessageBox::Ok)});
  update_.RunCheck();
  ASSERT_TRUE(Within(5000, [&] { return answers.AllGiven(); }));
  EXPECT_EQ(answers.Seen().value(1),
            QStringLiteral("Velmora: The file download was not successful!\r\nPlease try again manually."));
  EXPECT_FALSE(QFile::exists(Package()));
  EXPECT_TRUE(opener.Opened().isEmpty());
}

// Nothing to offer, or nothing to trust: the window says nothing and downloads nothing.
TEST_F(LinuxWebUpdateTest, AWindowsInstallerAloneOrAnUntrustedHistoryOffersNothing) {
  struct Case {
    const char* what;
    update::TPlatform platform;
    std::function<void(UpdateSite&)> publish;
  };
  const auto text = [](UpdateSite& site) {
    return QByteArray::fromStdString(VersionHistoryXml(site.History()));
  };
  const Case cases[] = {
      {"only a Windows installer", kWindows, [](UpdateSite& site) { site.Publish(); }},
      {"unsigned", update::TPlatform::pfLinux, [&](UpdateSite& site) { site.PublishUnsigned(text(site)); }},
      {"signed by another key", update::TPlatform::pfLinux,
       [&](UpdateSite& site) { site.PublishSignedBy(text(site), update::MakeKeyPair()); }}};
  for (const Case& c : cases) {
    UpdateSite site;
    site.AddRelease("3.0.0.0", update::TReleaseType::rtProduction, "file", c.platform);
    c.publish(site);
    qputenv("VELMORA_UPDATE_URL", site.Url().toUtf8());
    ModalAnswers none({});
    update_.RunCheck();
    QApplication::processEvents();
    EXPECT_TRUE(none.Seen().isEmpty()) << c.what << ": " << none.Seen().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(site.Server().NextRequest(1000), "/VelmoraVersion.xml") << c.what;
    EXPECT_EQ(QDir(data_.filePath(QStringLiteral("Update")))
                  .entryList({QStringLiteral("VelmoraLast*")}, QDir::Files),
              QStringList())
        << c.what;
  }
}

TEST(UpgradeDialogTest, OffersEachNewerReleaseWithItsSizeAndNotes) {
  UpdateSite site;
  site.AddRelease("2.9.0.221", update::TReleaseType::rtProduction, QByteArray(3 * 1024 * 1024, 'p'));
  site.AddRelease("2.9.1.0", update::TReleaseType::rtBeta, QByteArray(300 * 1024, 'b'));
  const update::TVersionHistory& history = site.History();
  const auto offers = update::NewerReleases(history, update::TReleaseType::rtBeta, kRunning);
  TUpgradeDialog dialog(history, offers, history.Releases[1], kRunning, nullptr);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Velmora Upgrade Check"));
  EXPECT_LE(dialog.maximumWidth(), 460);
  EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("lbl_NewVersion"))->text(),
            QStringLiteral("A new version (2.9.1.0 Beta) of Velmora is available!"));
  auto* beta = dialog.findChild<QRadioButton*>(QStringLiteral("rb_Beta"));
  EXPECT_EQ(beta->text(), QStringLiteral("2.9.1.0 Beta (300 KB)"));
  EXPECT_TRUE(beta->isChecked());
  EXPECT_EQ(dialog.findChild<QRadioButton*>(QStringLiteral("rb_Production"))->text(),
            QStringLiteral("2.9.0.221 Production (3.0 MB)"));

  EXPECT_EQ(TUpgradeDialog::NotesTitle(history, history.Releases[0], kRunning),
            QStringLiteral("What's new in 2.9.0.221 Production"));
  EXPECT_EQ(TUpgradeDialog::NotesTitle(history, history.Releases[1], kRunning),
            QStringLiteral("Changes between 2.9.0.220 and 2.9.1.0 Beta"));
  EXPECT_EQ(TUpgradeDialog::NotesText(history, history.Releases[1], kRunning),
            QStringLiteral("2.9.1.0 Beta (2026-12-01)\n- Changes of 2.9.1.0\n\n"
                           "2.9.0.221 Production (2026-12-01)\n- Changes of 2.9.0.221"));

  ModalAnswers answers({Press(QMessageBox::Ok)});
  dialog.findChild<QPushButton*>(QStringLiteral("btn_InfoBeta"))->click();
  EXPECT_EQ(answers.Seen(), QStringList{QStringLiteral("Changes between 2.9.0.220 and 2.9.1.0 Beta: ") +
                                        TUpgradeDialog::NotesText(history, history.Releases[1], kRunning)});

  dialog.reject();
  EXPECT_EQ(dialog.Choice().Operation, TUpgradeOperation::uoIgnore);
}

}  // namespace
}  // namespace velmora::app

#include "web_update_test.moc"

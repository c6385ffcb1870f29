// The main window and its settings file across restarts, with real files: defaults, marks, placement,
// a corrupt file, the update check's entries, and the real program closed by SIGTERM.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <signal.h>

#include "app/main_menu.h"
#include "app/settings_file.h"
#include "app/web_update.h"
#include "child_process.h"
#include "game/game.h"
#include "platform/application_version.h"
#include "run_program.h"
#include "update_site.h"
#include "window_fixture.h"

namespace velmora::app {
namespace {

using test::Within;

class WindowSettingsTest : public test::WindowTest {
 protected:
  pugi::xml_node Stored(const char* name) {
    saved_.reset();
    EXPECT_TRUE(saved_.load_file(SettingsPath().toStdString().c_str())) << SettingsPath().toStdString();
    return saved_.child("Configuration").child("Velmora").child(name);
  }
  void WriteFile(const QByteArray& text) {
    QDir().mkpath(QFileInfo(SettingsPath()).absolutePath());
    QFile file(SettingsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  bool XmllintAccepts() {
    return velmora::test::RunProgram({"/usr/bin/xmllint", "--noout", SettingsPath().toStdString()}).status ==
           0;
  }
  static int ScreenPixelsPerInch() {
    return static_cast<int>(std::lround(QApplication::primaryScreen()->logicalDotsPerInch()));
  }

  pugi::xml_document saved_;
};

TEST_F(WindowSettingsTest, AFirstStartHasTheDefaultsAndClosingWritesEveryMark) {
  ASSERT_FALSE(QFile::exists(SettingsPath()));
  auto window = Open();
  TMainMenu& menu = window->Menu();
  for (QAction* item : {menu.N500ms1, menu.Mtrique1, menu.Standalone1, menu.HTMLfile1, menu.DisplayLaps1,
                        menu.PlayerGridontheleft1, menu.ShowPlayerGrid1, menu.ShowWeatherPanel1, menu.Active1,
                        menu.Realase1, menu.N0day1}) {
    EXPECT_TRUE(item->isChecked()) << item->objectName().toStdString();
  }
  EXPECT_EQ(window->Game().FNetwork.FIP, "192.168.1.2");
  EXPECT_EQ(window->Game().FNetwork.FPort, 6000U);
  const QPoint place = window->frameGeometry().topLeft();
  const QPoint maximised = window->screen()->availableGeometry().topLeft();
  window->close();

  int marks = 0;
  for (const QAction* item : menu.StoredMarks()) {
    const std::string name = item->objectName().toStdString() + "_Checked";
    const pugi::xml_node mark = Stored(name.c_str());
    ASSERT_TRUE(mark) << name;
    EXPECT_STREQ(mark.text().get(), item->isChecked() ? "-1" : "0") << name;
    ++marks;
  }
  EXPECT_EQ(marks, 27);
  EXPECT_STREQ(Stored("IP").text().get(), "192.168.1.2");
  EXPECT_STREQ(Stored("Port").text().get(), "6000");
  EXPECT_STREQ(Stored("FormVersion").text().get(), "0");
  EXPECT_EQ(Stored("PixelsPerInch").text().as_int(), ScreenPixelsPerInch());
  EXPECT_EQ(std::string(Stored("MinMaxPos").text().get()), QStringLiteral("%1,%2,%3,%4")
                                                               .arg(place.x())
                                                               .arg(place.y())
                                                               .arg(maximised.x())
                                                               .arg(maximised.y())
                                                               .toStdString());
  EXPECT_TRUE(XmllintAccepts());
}

TEST_F(WindowSettingsTest, ImperialAndTheLayoutSurviveARestart) {
  {
    auto window = Open();
    window->Menu().Imprial1->trigger();
    window->Menu().N1000ms1->trigger();
    window->Menu().ShowWeatherPanel1->trigger();
    window->close();
  }
  EXPECT_STREQ(Stored("Mtrique1_Checked").text().get(), "0");
  EXPECT_STREQ(Stored("Imprial1_Checked").text().get(), "-1");

  auto window = Open();
  EXPECT_TRUE(window->Menu().Imprial1->isChecked());
  EXPECT_FALSE(window->Menu().Mtrique1->isChecked());
  ASSERT_TRUE(Within(2000, [&] { return window->isActiveWindow(); }));
  window->Init();
  EXPECT_FALSE(window->Game().FMetrique);
  EXPECT_EQ(window->DataInterval(), 1000);
  EXPECT_EQ(window->centralWidget()->width(), 794);
}

TEST_F(WindowSettingsTest, AnEditedNormPosMovesTheWindowAndKeepsItsSize) {
  QSize size;
  {
    auto window = Open();
    size = window->frameGeometry().size();
    window->close();
  }
  for (const bool same_screen : {true, false}) {
    const int ppi = ScreenPixelsPerInch() + (same_screen ? 0 : 24);
    WriteFile(
        "<?xml version=\"1.0\"?><Configuration><Velmora><FormVersion>0</FormVersion>"
        "<PixelsPerInch>" +
        QByteArray::number(ppi) + "</PixelsPerInch><NormPos>100,50,0,0</NormPos></Velmora></Configuration>");
    auto window = Open();
    if (same_screen) {
      EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(100, 50));
    } else {
      EXPECT_NE(window->frameGeometry().topLeft(), QPoint(100, 50));  // saved on another screen: ignored
    }
    EXPECT_EQ(window->frameGeometry().size(), size);
  }
}

TEST_F(WindowSettingsTest, ACorruptFileIsKeptAsideAndTheWindowStartsWithTheDefaults) {
  WriteFile("<Configuration><Velmora><Imprial1_Checked>-1</Imprial1_Checked>");
  testing::internal::CaptureStderr();
  auto window = Open();
  const std::string warning = testing::internal::GetCapturedStderr();
  EXPECT_NE(warning.find("Velmora.xml.corrupt"), std::string::npos) << warning;
  EXPECT_TRUE(window->Menu().Mtrique1->isChecked());
  EXPECT_TRUE(QFile::exists(SettingsPath() + ".corrupt"));
  window->close();
  EXPECT_TRUE(XmllintAccepts());
  EXPECT_STREQ(Stored("Mtrique1_Checked").text().get(), "-1");
}

// Sets an environment variable for as long as it lives.
class ScopedVariable final {
 public:
  ScopedVariable(const char* name, const QByteArray& value)
      : name_(name), had_(qEnvironmentVariableIsSet(name)), previous_(qgetenv(name)) {
    qputenv(name, value);
  }
  ~ScopedVariable() {
    if (had_) {
      qputenv(name_, previous_);
    } else {
      qunsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool had_;
  QByteArray previous_;
};

TEST_F(WindowSettingsTest, TheUpdateEntriesShareTheFileSurviveARestartAndKeepNoLocationAfterClose) {
  const ScopedVariable data("XDG_DATA_HOME", folder_.filePath(QStringLiteral("data")).toUtf8());
  const ScopedVariable config("XDG_CONFIG_HOME", folder_.filePath(QStringLiteral("config")).toUtf8());
  // An installer that an earlier version downloaded into the local data folder.
  const QString old_installer = folder_.filePath(QStringLiteral("data/Velmora/Update/VelmoraLast.exe"));
  ASSERT_TRUE(QDir().mkpath(QFileInfo(old_installer).path()));
  {
    QFile file(old_installer);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("an earlier download");
  }
  velmora::test::UpdateSite site;
  site.AddRelease(platform::ApplicationVersion(), update::TReleaseType::rtProduction, "the running release");
  site.Publish();
  const ScopedVariable location("VELMORA_UPDATE_URL", site.Url().toUtf8());
  auto web_update = [this] {
    EXPECT_TRUE(saved_.load_file(SettingsPath().toStdString().c_str()));
    return saved_.child("Configuration").child("WebUpdate");
  };
  {
    auto window = Open();
    const TUpdateMenuItems& items = window->WebUpdate().Items();
    items.Beta1->trigger();
    items.N7day1->trigger();
    items.CheckUpdateNow1->trigger();  // nothing newer: no dialog
    EXPECT_EQ(site.Server().NextRequest(2000), "/VelmoraVersion.xml");
    EXPECT_EQ(site.Server().NextRequest(2000), "/VelmoraVersion.xml.sig");
    EXPECT_STREQ(
        web_update().child("LocationHTTP").child("VersionInfoLocationPaths").child("Path0").text().get(),
        site.Url().toUtf8().constData());
    window->close();
  }
  const pugi::xml_node stored = web_update();
  EXPECT_STREQ(stored.child("AllowedReleaseType").text().get(), "Beta");
  EXPECT_STREQ(stored.child("CheckFrequency").text().get(), "7");
  EXPECT_STREQ(stored.child("LocalDirectory").text().get(),
               folder_.filePath(QStringLiteral("config/Velmora/Update")).toUtf8().constData());
  // The update files live beside the settings now; what was in the old place moved there once.
  EXPECT_FALSE(QFile::exists(old_installer));
  EXPECT_TRUE(QFile::exists(folder_.filePath(QStringLiteral("config/Velmora/Update/VelmoraLast.exe"))));
  const std::string last_check = stored.child("LastCheck").text().get();
  EXPECT_TRUE(QDateTime::fromString(QString::fromStdString(last_check), Qt::ISODateWithMs).isValid());
  EXPECT_FALSE(stored.child("LocationHTTP").child("VersionInfoLocationPaths").first_child());
  EXPECT_STREQ(stored.child("LocationHTTP").child("VersionInfoFileName").text().get(), "");
  EXPECT_STREQ(Stored("Beta1_Checked").text().get(), "-1");
  EXPECT_TRUE(XmllintAccepts());

  // The next start remembers the last check: with "7 days" a check now does not go to the web.
  auto window = Open();
  EXPECT_TRUE(window->WebUpdate().Items().Beta1->isChecked());
  EXPECT_TRUE(window->WebUpdate().Items().N7day1->isChecked());
  window->WebUpdate().Items().CheckUpdateNow1->trigger();
  EXPECT_EQ(site.Server().NextRequest(300), "");
  window->close();
  EXPECT_EQ(std::string(web_update().child("LastCheck").text().get()), last_check);
}

TEST_F(WindowSettingsTest, TheProgramClosesOnSigtermAndWritesItsSettingsToTheFileItWasGiven) {
  WriteFile(
      "<Configuration><Velmora><Port>6123</Port><Imprial1_Checked>True</Imprial1_Checked>"
      "<Mtrique1_Checked>False</Mtrique1_Checked></Velmora><Elsewhere><Kept>x</Kept></Elsewhere>"
      "</Configuration>");
  for (const int signal_number : {SIGTERM, SIGINT}) {
    velmora::test::ChildProcess program(
        {VELMORA_PROGRAM_PATH, "--no-splash", "--settings", SettingsPath().toStdString()});
    // Up once it has read the file: the lock it takes while reading is gone again.
    ASSERT_TRUE(Within(10000, [&] { return QFileInfo(SettingsPath()).exists(); }));
    QThread::msleep(1500);
    ::kill(program.Pid(), signal_number);
    EXPECT_EQ(program.CloseAndWait(), 0);
    EXPECT_STREQ(Stored("Port").text().get(), "6123");
    EXPECT_STREQ(Stored("Imprial1_Checked").text().get(), "-1");
    EXPECT_STREQ(Stored("Mtrique1_Checked").text().get(), "0");
    EXPECT_STREQ(saved_.child("Configuration").child("Elsewhere").child("Kept").text().get(), "x");
    EXPECT_TRUE(XmllintAccepts());
  }
}

}  // namespace
}  // namespace velmora::app

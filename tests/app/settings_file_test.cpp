// The settings file with real files: names, marks, other processes' saves, corrupt files, failed saves,
// and a saving process killed at random moments.
#include "app/settings_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <random>
#include <thread>

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <signal.h>
#include <sys/wait.h>

#include "child_process.h"
#include "run_program.h"

namespace velmora::app {
namespace {

class SettingsFileTest : public ::testing::Test {
 protected:
  QString PathOf(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
  void WriteText(const QString& path, const QByteArray& text) const {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  QByteArray ReadText(const QString& path) const {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
};

TEST(SettingsElementName, EveryCharacterThatCannotNameAnElementBecomesAnUnderscore) {
  const struct {
    const char* segment;
    const char* element;
  } cases[] = {
      {"N50ms1.Checked", "N50ms1_Checked"},
      {"IP", "IP"},
      {"1day", "_day"},
      {"Web Update", "Web_Update"},
      {"a-b_c9", "a-b_c9"},
      {"", "_"},
      {"caf\xC3\xA9", "caf_"},
      {"x:y", "x_y"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TSettingsFile::ElementName(c.segment), c.element) << c.segment;
  }
}

TEST_F(SettingsFileTest, MarksReadInEveryFormTheFileMayHold) {
  const struct {
    const char* text;
    bool checked;
  } cases[] = {{"-1", true},   {"0", false},     {"1", true},      {"7", true},    {"True", true},
               {"tRUE", true}, {"False", false}, {"FALSE", false}, {"yes", false}, {"", false}};
  QByteArray xml = "<Configuration><Velmora>";
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    xml += "<M" + QByteArray::number(static_cast<int>(i)) + ">" + cases[i].text + "</M" +
           QByteArray::number(static_cast<int>(i)) + ">";
  }
  WriteText(PathOf("Velmora.xml"), xml + "</Velmora></Configuration>");
  TSettingsFile file(PathOf("Velmora.xml"));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(file.ReadBoolean("Velmora\\M" + std::to_string(i), !cases[i].checked), cases[i].checked)
        << '"' << cases[i].text << '"';
  }
  EXPECT_TRUE(file.ReadBoolean("Velmora\\Missing", true));
  EXPECT_FALSE(file.ReadBoolean("Velmora\\Missing", false));
}

TEST_F(SettingsFileTest, WritesNestedEntriesAndKeepsWhatItDoesNotKnow) {
  WriteText(
      PathOf("Velmora.xml"),
      "<Configuration><WebUpdate><LocationHTTP><Path>x</Path></LocationHTTP></WebUpdate></Configuration>");
  TSettingsFile file(PathOf("Velmora.xml"));
  file.WriteBoolean("Velmora\\Mtrique1.Checked", false);
  file.WriteInteger("Velmora\\Port", 6001);

  pugi::xml_document saved;
  ASSERT_TRUE(saved.load_file(PathOf("Velmora.xml").toStdString().c_str()));
  EXPECT_STREQ(saved.select_node("/Configuration/Velmora/Mtrique1_Checked").node().text().get(), "0");
  EXPECT_STREQ(saved.select_node("/Configuration/Velmora/Port").node().text().get(), "6001");
  EXPECT_STREQ(saved.select_node("/Configuration/WebUpdate/LocationHTTP/Path").node().text().get(), "x");
  EXPECT_EQ(test::RunProgram({"/usr/bin/xmllint", "--noout", PathOf("Velmora.xml").toStdString()}).status, 0);

  file.DeleteEntry("WebUpdate");
  EXPECT_FALSE(file.HasEntry("WebUpdate\\LocationHTTP"));
  EXPECT_EQ(file.ReadInteger("Velmora\\Port", 0), 6001);
}

TEST_F(SettingsFileTest, ANewFileInANewFolderAndDefaultsUntilThen) {
  const QString path = PathOf("a/b/Velmora.xml");
  TSettingsFile file(path);
  EXPECT_EQ(file.ReadString("Velmora\\IP", "192.168.1.2"), "192.168.1.2");
  EXPECT_EQ(file.ReadInteger("Velmora\\Port", 6000), 6000);
  EXPECT_FALSE(QFile::exists(path));  // reading writes nothing
  file.WriteString("Velmora\\IP", "127.0.0.1");
  EXPECT_TRUE(QFile::exists(path));
}

TEST_F(SettingsFileTest, AReadTakesUpWhatAnotherProcessSaved) {
  TSettingsFile mine(PathOf("Velmora.xml"));
  TSettingsFile theirs(PathOf("Velmora.xml"));
  mine.WriteInteger("Velmora\\Port", 1);
  EXPECT_EQ(theirs.ReadInteger("Velmora\\Port", 0), 1);
  theirs.WriteInteger("Velmora\\Port", 22);
  theirs.WriteString("Velmora\\IP", "10.0.0.1");
  EXPECT_EQ(mine.ReadInteger("Velmora\\Port", 0), 22);
  // A write on top of another's save keeps the other's entries.
  mine.WriteInteger("Velmora\\Port", 3);
  EXPECT_EQ(theirs.ReadString("Velmora\\IP", ""), "10.0.0.1");
  EXPECT_EQ(theirs.ReadInteger("Velmora\\Port", 0), 3);
}

TEST_F(SettingsFileTest, ACorruptFileIsKeptAsideNamedAndTheDefaultsApply) {
  const QByteArray broken = "<Configuration><Velmora><Port>6001</Port>";
  for (const QByteArray& text : {broken, QByteArray("<Other/>"), QByteArray()}) {
    QDir(dir_.path()).removeRecursively();
    QDir().mkpath(dir_.path());
    WriteText(PathOf("Velmora.xml"), text);
    testing::internal::CaptureStderr();
    TSettingsFile file(PathOf("Velmora.xml"));
    EXPECT_EQ(file.ReadInteger("Velmora\\Port", 6000), 6000);
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_NE(warning.find((PathOf("Velmora.xml") + ".corrupt").toStdString()), std::string::npos) << warning;
    EXPECT_EQ(ReadText(PathOf("Velmora.xml.corrupt")), text);
    EXPECT_FALSE(QFile::exists(PathOf("Velmora.xml")));

    // A second bad file does not replace the first one kept aside.
    WriteText(PathOf("Velmora.xml"), "<");
    testing::internal::CaptureStderr();
    TSettingsFile again(PathOf("Velmora.xml"));
    again.WriteInteger("Velmora\\Port", 7);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(ReadText(PathOf("Velmora.xml.corrupt")), text);
    EXPECT_EQ(ReadText(PathOf("Velmora.xml.corrupt.1")), "<");
    EXPECT_EQ(TSettingsFile(PathOf("Velmora.xml")).ReadInteger("Velmora\\Port", 0), 7);
  }
}

TEST_F(SettingsFileTest, AFailedSaveIsReportedOnceAndTheSettingsStayInMemory) {
  WriteText(PathOf("blocker"), "a file where the folder should be");
  TSettingsFile file(PathOf("blocker/Velmora.xml"));
  testing::internal::CaptureStderr();
  file.WriteInteger("Velmora\\Port", 6001);
  file.WriteString("Velmora\\IP", "127.0.0.1");
  const std::string report = testing::internal::GetCapturedStderr();
  EXPECT_NE(report.find("cannot be saved"), std::string::npos) << report;
  EXPECT_EQ(report.find("cannot be saved"), report.rfind("cannot be saved")) << report;
  EXPECT_EQ(file.ReadInteger("Velmora\\Port", 0), 6001);
  EXPECT_EQ(file.ReadString("Velmora\\IP", ""), "127.0.0.1");
}

TEST_F(SettingsFileTest, AProcessKilledWhileSavingLeavesTheOldOrTheNewFileWhole) {
  const std::string path = PathOf("Velmora.xml").toStdString();
  std::mt19937 random(20261210);
  std::uniform_int_distribution<int> moment_us(0, 60000);
  int last_generation = 0;
  int saw_progress = 0;
  for (int kill = 0; kill < 200; ++kill) {
    {
      test::ChildProcess saver({VELMORA_SETTINGS_SAVER_PATH, path});
      ASSERT_EQ(saver.ReadLine(), "ready");
      std::this_thread::sleep_for(std::chrono::microseconds(moment_us(random)));
      ::kill(saver.Pid(), SIGKILL);
    }
    pugi::xml_document saved;
    const pugi::xml_parse_result parsed = saved.load_file(path.c_str());
    if (!parsed && last_generation == 0) {
      continue;  // killed before its first save
    }
    ASSERT_TRUE(parsed) << "after kill " << kill << ": " << parsed.description();
    const pugi::xml_node entries = saved.child("Configuration").child("Velmora");
    const int generation = entries.child("Generation").text().as_int();
    ASSERT_GE(generation, last_generation) << "after kill " << kill;
    for (int entry = 0; entry < 40; ++entry) {
      const std::string name = "Entry" + std::to_string(entry) + "_Checked";
      ASSERT_EQ(entries.child(name.c_str()).text().as_int(), generation) << name << " after kill " << kill;
    }
    saw_progress += generation > last_generation ? 1 : 0;
    last_generation = generation;
  }
  // The kills did land while saves were going on, not only before the first one.
  EXPECT_GT(saw_progress, 50);
}

}  // namespace
}  // namespace velmora::app

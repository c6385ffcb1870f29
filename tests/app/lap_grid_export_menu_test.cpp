// The "Export" menu as a person uses it: a format item, "Save", the save dialog and the file it leaves.
#include "app/lap_grid_export_menu.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include "modal_answers.h"
#include "save_as_answer.h"

namespace velmora::app {
namespace {

using test::DialogSeen;
using test::ModalAnswers;
using test::SaveAs;

TExportTable OneLap() {
  TExportTable table;
  TExportColumn lap;
  lap.Title = "Lap";
  lap.FieldType = TExportFieldType::Integer;
  TExportColumn fuel;
  fuel.GridIndex = 9;
  fuel.Title = "Fuel";
  fuel.FieldType = TExportFieldType::Float;
  table.Columns = {lap, fuel};
  table.Rows = {{std::int64_t{1}, 2.5}};
  return table;
}

class ExportMenuTest : public testing::Test {
 protected:
  ExportMenuTest() : export_(window_, [this] { return table_; }) { export_.BuildMenu(menu_); }

  static QByteArray Read(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir folder_;
  QWidget window_;
  QMenu menu_;
  std::optional<TExportTable> table_ = OneLap();
  TLapGridExportMenu export_;
};

TEST_F(ExportMenuTest, SaveSetsUpTheDialogForTheCheckedFormatAndKeepsTheLastName) {
  EXPECT_TRUE(export_.HTMLfile1->isChecked());
  DialogSeen html;
  const QString name = folder_.filePath(QStringLiteral("laps"));
  {
    ModalAnswers answers({SaveAs(html, name)});
    export_.Save1->trigger();
  }
  EXPECT_EQ(html.title, QStringLiteral("Exporting to HTML..."));
  EXPECT_EQ(html.filters,
            (QStringList{QStringLiteral("HTML Files (*.htm)"), QStringLiteral("All files (*)")}));
  EXPECT_EQ(html.suffix, QStringLiteral("htm"));
  EXPECT_TRUE(Read(name + QStringLiteral(".htm")).contains("<td class=\"column9\">2.5</td>"));

  export_.XMLfile1->trigger();
  EXPECT_FALSE(export_.HTMLfile1->isChecked());
  DialogSeen xml;
  {
    ModalAnswers answers({SaveAs(xml, QString())});
    export_.Save1->trigger();
  }
  EXPECT_EQ(xml.title, QStringLiteral("Exporting to XML..."));
  EXPECT_EQ(xml.suffix, QStringLiteral("xml"));
  EXPECT_EQ(xml.proposed, name + QStringLiteral(".htm"));
  EXPECT_FALSE(QFile::exists(name + QStringLiteral(".xml")));

  export_.CSVfile1->trigger();
  DialogSeen csv;
  {
    ModalAnswers answers({SaveAs(csv, QString())});
    export_.Save1->trigger();
  }
  EXPECT_EQ(csv.title, QStringLiteral("Exporting to CSV/Text..."));
  EXPECT_EQ(csv.filters.value(0), QStringLiteral("CSV Files (*.csv)"));
  EXPECT_FALSE(QFile::exists(name + QStringLiteral(".csv")));
}

TEST_F(ExportMenuTest, AGridThatCannotBeReadWritesNothingAndAWriteFailureSaysWhy) {
  table_.reset();
  const QString name = folder_.filePath(QStringLiteral("nothing.csv"));
  EXPECT_EQ(export_.ExportTo(name, TExportFormat::efCSV), std::nullopt);
  EXPECT_FALSE(QFile::exists(name));

  table_ = OneLap();
  EXPECT_EQ(export_.ExportTo(folder_.path(), TExportFormat::efCSV), QStringLiteral("Is a directory"));
}

}  // namespace
}  // namespace velmora::app

#include "race/lap_table.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace velmora {
namespace {

// Writes down what a view would hear, one line per notice.
class Journal final : public LapTableListener {
 public:
  void RowsCleared() override { lines.push_back("cleared"); }
  void RowAppended(std::size_t row) override { lines.push_back("append " + std::to_string(row)); }
  void CellsChanged(std::size_t row, TLapField first, TLapField last) override {
    lines.push_back("cells " + std::to_string(row) + " " + std::string(LapFieldName(first)) + ".." +
                    std::string(LapFieldName(last)));
  }
  void CurrentRowChanged(std::size_t row) override { lines.push_back("current " + std::to_string(row)); }
  void ColumnsChanged() override { lines.push_back("columns"); }
  void HighlightsChanged() override { lines.push_back("highlights"); }

  std::vector<std::string> lines;
};

TEST(LapTableTest, RowsAreFoundByLapAndOnlyChangedCellsAreReported) {
  TLapTable table;
  Journal journal;
  table.AddListener(&journal);

  EXPECT_EQ(table.FindOrAppend(3), 0U);
  EXPECT_EQ(table.FindOrAppend(4), 1U);
  EXPECT_EQ(table.FindOrAppend(3), 0U);
  table.EditRow(0, [](TLapRow& row) {
    row.Sector1 = "0:31.200";
    row.Final = "1:33.000";
    row.AverageSpeed = 150.0;
  });
  // The same values again, and a change to one cell.
  table.EditRow(0, [](TLapRow& row) {
    row.Sector1 = "0:31.200";
    row.AverageSpeed = 151.0;
    row.Lap = 99;  // the lap number of a row is not the editor's to change
  });
  table.SetCurrentRow(1);
  table.SetCurrentRow(1);
  table.SetCurrentRow(7);  // no such row

  EXPECT_EQ(journal.lines, (std::vector<std::string>{"append 0", "append 1", "cells 0 Sector 1..Sector 1",
                                                     "cells 0 Final..Average Speed",
                                                     "cells 0 Average Speed..Average Speed", "current 1"}));
  EXPECT_EQ(table.Rows()[0].Lap, 3);
  EXPECT_EQ(table.CurrentRow(), 1U);

  table.Clear();
  EXPECT_TRUE(table.Rows().empty());
  EXPECT_FALSE(table.CurrentRow().has_value());
  EXPECT_EQ(journal.lines.back(), "cleared");
  table.RemoveListener(&journal);
}

TEST(LapTableTest, TextsAreCutToTenCharactersAndCellsShowTheirPatterns) {
  TLapTable table;
  const std::size_t row = table.FindOrAppend(1);
  table.EditRow(row, [](TLapRow& lap) {
    lap.Final = "12345678901234";
    lap.AverageSpeed = 89.5;
    lap.MaximumSpeed = 200.0;
    lap.Fuel = 2.5;
  });
  const TLapRow& lap = table.Rows()[row];
  EXPECT_EQ(*lap.Final, "1234567890");
  struct Case {
    TLapField field;
    const char* text;
  };
  for (const Case& c :
       {Case{TLapField::Lap, "1"}, Case{TLapField::Final, "1234567890"},
        Case{TLapField::AverageSpeed, "89.5"}, Case{TLapField::MaximumSpeed, "200.0"},
        Case{TLapField::Fuel, "2.50"}, Case{TLapField::Sector1, ""}, Case{TLapField::BestSector3, ""}}) {
    SCOPED_TRACE(LapFieldName(c.field));
    EXPECT_EQ(LapCellText(lap, c.field), c.text);
  }
}

TEST(LapTableTest, ColumnSetsSwapTheTimeColumnsAndShareTheWidth) {
  TLapTable table;
  const auto visible = [&table] {
    std::string titles;
    for (const TLapColumn& column : table.Columns()) {
      if (column.visible) {
        titles += std::string(column.title) + "|";
      }
    }
    return titles;
  };
  EXPECT_EQ(visible(), "Lap|Intermediate 1|Intermediate 2|Final Time|Ave. Spd.|Max. Spd.|Fuel|");
  EXPECT_EQ(table.Columns()[1].width, 115);

  table.SetColumnLayout(true, 585);
  EXPECT_EQ(visible(), "Lap|Sector 1|Sector 2|Sector 3|Ave. Spd.|Max. Spd.|Fuel|");
  // 585 x 0.101 = 59.085, x 0.1979 = 115.77, x 0.0895 = 52.36
  const std::vector<int> widths{59, 115, 115, 115, 116, 116, 116, 59, 59, 52};
  for (std::size_t column = 0; column < widths.size(); ++column) {
    EXPECT_EQ(table.Columns()[column].width, widths[column]) << "column " << column;
  }
  EXPECT_EQ(table.Columns()[4].alignment, TLapAlignment::Right);
  EXPECT_EQ(table.Columns()[9].alignment, TLapAlignment::Centre);

  table.SetColumnLayout(false, 1200);
  EXPECT_EQ(visible(), "Lap|Intermediate 1|Intermediate 2|Final Time|Ave. Spd.|Max. Spd.|Fuel|");
  EXPECT_EQ(table.Columns()[1].width, 237);  // 237.48
  EXPECT_EQ(table.Columns()[0].width, 121);  // 121.2
  EXPECT_EQ(table.Columns()[9].width, 107);  // 107.4
  EXPECT_EQ(table.Columns()[4].width, 116);  // hidden columns keep their last width
}

}  // namespace
}  // namespace velmora

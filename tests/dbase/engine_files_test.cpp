// The engine on its files: every table is its own file, and record bytes
// reach the disk exactly as given.
#include <gtest/gtest.h>

#include "dbase/dbf_table.h"
#include "support/temp_folder.h"

namespace pasarela::dbase {
namespace {

using test::TempFolder;

TEST(EngineFiles, TwoTablesOfOneFolderEachReadTheirOwnHeader) {
  TempFolder dir;
  createTable(dir / "AULAT.DBF", "AULAT", {{"CODAULA", 'C', 6}, {"CAPAC", 'N', 4}}, {});
  createTable(dir / "PROFT.DBF", "PROFT", {{"ABREV", 'C', 8}, {"DNI", 'N', 10}, {"NOMBRE", 'C', 40}}, {});
  DbfTable aulas(dir / "AULAT.DBF", "AULAT", false);
  DbfTable profes(dir / "PROFT.DBF", "PROFT", false);
  ASSERT_EQ(aulas.header().fields.size(), 2u);
  ASSERT_EQ(profes.header().fields.size(), 3u);
  EXPECT_EQ(aulas.header().fields[0].name, "CODAULA");
  EXPECT_EQ(profes.header().fields[2].name, "NOMBRE");
  EXPECT_EQ(profes.header().recordLength, 1u + 8 + 10 + 40);
  // A second object on one of them shares its header, not the other's.
  DbfTable again(dir / "PROFT.DBF", "PROFT", false);
  EXPECT_EQ(again.header().fields.size(), 3u);
}

TEST(EngineFiles, RecordsHoldingLineEndsAndTheEndMarkRoundTrip) {
  TempFolder dir;
  const auto path = dir / "NOTAS.DBF";
  createTable(path, "NOTAS", {{"TEXTO", 'C', 12}}, {});
  const std::string record = std::string(
      " A\nB\r\nC\x1A"
      "D\r\n\x1A ",
      13);
  {
    DbfTable t(path, "NOTAS", false);
    t.appendRecord(record.data());
    t.appendRecord(record.data());
  }
  // Where the records lie follows from the field list: a 32-byte header, one
  // 32-byte descriptor, the 0x0D terminator; then records of 13 bytes and
  // the end mark.
  const std::string bytes = TempFolder::read(path);
  ASSERT_EQ(bytes.size(), 32u + 32 + 1 + 2 * 13 + 1);
  EXPECT_EQ(bytes.substr(65, 13), record);
  EXPECT_EQ(bytes.substr(78, 13), record);
  EXPECT_EQ(bytes.back(), '\x1A');
  DbfTable t(path, "NOTAS", false);
  ASSERT_EQ(t.recordCount(), 2u);
  EXPECT_EQ(std::string(t.readRecord(2), 13), record);
}

}  // namespace
}  // namespace pasarela::dbase

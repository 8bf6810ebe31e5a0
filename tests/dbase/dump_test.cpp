// `pasarela dump`: the CSV and JSON forms scripts rely on, index order and
// the header listing.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "cli/command.h"
#include "data/table.h"
#include "oracle_run.h"
#include "support/drive_c.h"

namespace pasarela {
namespace {

class DumpTest : public test::TempDriveTest {
 protected:
  void SetUp() override {
    TempDriveTest::SetUp();
    Table t;
    t.setTableName("C:\\KTEMP\\ALUMNOST.DBF");
    t.createTable({{"NOMBRE", FieldKind::String, 20},
                   {"EDAD", FieldKind::Integer, 0},
                   {"NOTA", FieldKind::Float, 0},
                   {"REPITE", FieldKind::Boolean, 0}},
                  {"NOMBRE"});
    t.open();
    const std::vector<std::tuple<std::string, int, double>> rows = {
        {"Zoé Muñoz", 15, 8.5}, {"Ana \"la\" Peña, hija", 14, 7}, {"", 0, 0}};
    for (const auto& [name, age, mark] : rows) {
      t.append();
      t.setString("NOMBRE", name);
      if (age) t.setInteger("EDAD", age);
      if (mark) t.setFloat("NOTA", mark);
      if (age) t.setBoolean("REPITE", age == 15);
      t.post();
    }
  }
  std::string dump(const cli::Args& args) {
    std::ostringstream captured;
    std::streambuf* old = std::cout.rdbuf(captured.rdbuf());
    int rc = -1;
    try {
      rc = cli::dumpCommand(args);
    } catch (...) {
      std::cout.rdbuf(old);
      throw;
    }
    std::cout.rdbuf(old);
    EXPECT_EQ(rc, 0);
    return captured.str();
  }
};

TEST_F(DumpTest, CsvHasNamesThenRecordsInPhysicalOrIndexOrder) {
  EXPECT_EQ(dump({"C:\\KTEMP\\ALUMNOST.DBF", "--format", "csv"}),
            "NOMBRE,EDAD,NOTA,REPITE\r\n"
            "Zoé Muñoz,15,8.5,T\r\n"
            "\"Ana \"\"la\"\" Peña, hija\",14,7,F\r\n"
            ",,,\r\n");
  // A host path names the same file.
  EXPECT_EQ(dump({host("KTEMP/alumnost.dbf").string(), "--format=csv", "--index", "nombre"}),
            "NOMBRE,EDAD,NOTA,REPITE\r\n"
            ",,,\r\n"
            "\"Ana \"\"la\"\" Peña, hija\",14,7,F\r\n"
            "Zoé Muñoz,15,8.5,T\r\n");
}

TEST_F(DumpTest, JsonIsValidAndTyped) {
  const std::string json = dump({"C:\\KTEMP\\ALUMNOST.DBF", "--format", "json"});
  const std::string file = host("out.json").string();
  std::ofstream(file) << json;
  PASARELA_SKIP_IF_MISSING(test::pythonMissing());
  EXPECT_EQ(test::run({test::kPython, "-c",
                       "import json,sys; d=json.load(open(sys.argv[1], encoding='utf-8')); "
                       "print(d[0]['NOMBRE'], d[0]['EDAD'] + 1, d[1]['REPITE'], d[2]['NOTA'])",
                       file}),
            "Zoé Muñoz 16 False None\n");
}

TEST_F(DumpTest, TableAndHeaderShowAccentsFieldsAndTags) {
  const std::string table = dump({"C:\\KTEMP\\ALUMNOST.DBF"});
  EXPECT_NE(table.find("Zoé Muñoz"), std::string::npos) << table;
  EXPECT_NE(table.find("(3 registros)"), std::string::npos) << table;
  const std::string header = dump({"C:\\KTEMP\\ALUMNOST.DBF", "--header"});
  EXPECT_NE(header.find("Versión: 0x03"), std::string::npos) << header;
  EXPECT_NE(header.find("Página de códigos: 1252 (controlador de idioma 0x57)"), std::string::npos) << header;
  EXPECT_NE(header.find("Índice de producción (.MDX): sí"), std::string::npos) << header;
  EXPECT_NE(header.find("  EDAD        N   11   0"), std::string::npos) << header;
  EXPECT_NE(header.find("  NOMBRE      C   20  NOMBRE"), std::string::npos) << header;
}

}  // namespace
}  // namespace pasarela

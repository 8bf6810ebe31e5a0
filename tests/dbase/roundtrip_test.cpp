// Round trips with independent dBase software, both ways: tables written by
// python3-dbf and Perl's XBase (dBase III with memo, FoxPro 2 with .fpt,
// Visual FoxPro with nullable and binary fields) read the same through our
// table object; tables we write read the same through python3-dbfread,
// python3-dbf and Perl's XBase.
#include <gtest/gtest.h>

#include "data/table.h"
#include "oracle_run.h"
#include "support/drive_c.h"

namespace pasarela {
namespace {

class RoundTripTest : public test::TempDriveTest {
 protected:
  std::string file(const std::string& name) { return host("KTEMP/" + name).string(); }
};

TEST_F(RoundTripTest, TablesOfPythonDbfReadTheSame) {
  PASARELA_SKIP_IF_MISSING(test::pythonMissing("dbf dbfread"));
  for (const std::string kind : {"db3", "fp", "vfp"}) {
    const std::string path = file("PY_" + kind + ".DBF");
    ASSERT_EQ(test::python({"write", kind, path}), "") << kind;
    const std::string ours = test::renderFile(path);
    EXPECT_EQ(ours, test::python({"dbf", path})) << kind;
    EXPECT_EQ(ours, test::python({"dbfread", path})) << kind;
    EXPECT_NE(ours.find("Árbol azul|-42|-1234.56||2024-02-29|"), std::string::npos) << ours;
  }
}

TEST_F(RoundTripTest, TablesOfPerlXBaseReadTheSame) {
  PASARELA_SKIP_IF_MISSING(test::perlMissing());
  PASARELA_SKIP_IF_MISSING(test::pythonMissing("dbfread"));
  const std::string path = file("perl.dbf");
  ASSERT_EQ(test::perl({"write", path}), "");
  const std::string ours = test::renderFile(path);
  EXPECT_EQ(ours, test::perl({"read", path}));
  EXPECT_EQ(ours, test::python({"dbfread", path, "cp1252"}));
  EXPECT_NE(ours.find("Perlño|12|T|2023-04-15|nota uno"), std::string::npos) << ours;
}

TEST_F(RoundTripTest, TablesWeWriteReadTheSameElsewhere) {
  PASARELA_SKIP_IF_MISSING(test::perlMissing());
  PASARELA_SKIP_IF_MISSING(test::pythonMissing("dbf dbfread"));
  Table t;
  t.setTableName("C:\\KTEMP\\NUESTRA.DBF");
  t.createTable({{"CODIGO", FieldKind::String, 10},
                 {"NOMBRE", FieldKind::String, 30},
                 {"HORAS", FieldKind::Integer, 0},
                 {"NOTA", FieldKind::Float, 0},
                 {"ACTIVO", FieldKind::Boolean, 0}});
  t.open();
  struct Row {
    std::string code, name;
    std::int64_t hours;
    double mark;
    bool active;
  };
  const std::vector<Row> rows = {{"A001", "Educación Física", 3, 7.25, true},
                                 {"B'02", "Ñoño \"comillas\"", -2147483647, -0.5, false},
                                 {"BORRAR", "x", 1, 1, true},
                                 {"C03", "Música y Diseño Gráfico 1º ESO", 2147483647, 123456789012.5, true}};
  for (const Row& r : rows) {
    t.append();
    t.setString("CODIGO", r.code);
    t.setString("NOMBRE", r.name);
    t.setInteger("HORAS", r.hours);
    t.setFloat("NOTA", r.mark);
    t.setBoolean("ACTIVO", r.active);
    t.post();
  }
  t.append();
  t.post();  // a blank record
  t.goTo(3);
  t.deleteRecord();
  const std::string ours = test::render(t);
  t.close();
  EXPECT_NE(ours.find("C03|Música y Diseño Gráfico 1º ESO|2147483647|123456789012.5|T"), std::string::npos)
      << ours;
  const std::string path = file("NUESTRA.DBF");
  EXPECT_EQ(test::python({"dbfread", path}), ours);
  EXPECT_EQ(test::python({"dbf", path}), ours);
  EXPECT_EQ(test::perl({"read", path}), ours);
}

}  // namespace
}  // namespace pasarela

// The whole job through the command line on the sample school: export, the
// stand-in generator, import; the school's rewritten tables read back by an
// independent reader and checked against the solution row by row.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "import_fixture.h"
#include "support/process.h"

namespace pasarela::test {
namespace {

using ::testing::HasSubstr;

const std::string kPasarela = builtProgram(std::string(PASARELA_BINARY_DIR) + "/src/pasarela").string();

class EndToEndTest : public ImportTest {
 protected:
  std::string run(std::vector<std::string> args, int* status) {
    args.insert(args.begin(), kPasarela);
    return runCommand(args, status);
  }
  void SetUp() override {
    ImportTest::SetUp();
    if (IsSkipped()) return;
    int status = -1;
    std::string out = run({"sample", "C:\\OB"}, &status);
    if (status == 2) GTEST_SKIP() << "the sample school is not available in this build: " << out;
    ASSERT_EQ(status, 0) << out;
    out = run({"export"}, &status);
    if (status == 2) GTEST_SKIP() << "the export is not available in this build: " << out;
    ASSERT_EQ(status, 0) << out;
    out = run({"solve", "--seed", "7"}, &status);
    ASSERT_EQ(status, 0) << out;
  }
};

TEST_F(EndToEndTest, ImportRewritesTheSchoolsTimetableFromTheSolution) {
  auto soluc = readBack("C:\\KTEMP\\SOLUC.DBF");
  auto proft = readBack("C:\\KTEMP\\PROFT.DBF");
  auto asigvalt = readBack("C:\\KTEMP\\ASIGVALT.DBF");
  ASSERT_FALSE(soluc.rows.empty());
  const auto oldTypes = readBack("C:\\OB\\horgrup.dbf").types;

  int status = -1;
  std::string out = run({"import"}, &status);
  ASSERT_EQ(status, 0) << out;

  // The expected rows, worked out here from the tables as read independently.
  std::map<std::string, std::string> dniOf;
  for (auto& t : proft.rows) dniOf.emplace(t["ABREV"], t["DNI"]);
  std::map<std::string, std::string> codvalenOf;
  for (auto& s : asigvalt.rows) {
    auto key = s["NIVEL"] + "|" + s["CURSO"] + "|" + s["COD"];
    auto it = codvalenOf.find(key);
    if (it == codvalenOf.end() || s["CODVALEN"] < it->second) codvalenOf[key] = s["CODVALEN"];
  }
  // The school's groups, read independently: every group the import writes
  // must be one of them (a code cut inside a character is not).
  std::vector<std::string> groups;
  for (auto& g : readBack("C:\\OB\\grupos.dbf").rows) groups.push_back(g["CODGRUP"]);
  // The group of a subject code and a letter: the school's group whose code
  // is a course prefix of the subject code followed by the letter.
  auto groupOf = [&](const std::string& codasig, const std::string& letter) {
    for (const std::string& g : groups) {
      if (g.size() <= letter.size() || g.compare(g.size() - letter.size(), letter.size(), letter) != 0)
        continue;
      const std::string course = g.substr(0, g.size() - letter.size());
      if (codasig.compare(0, course.size(), course) == 0) return g;
    }
    return std::string("(ninguno)");
  };
  auto grup = readBack("C:\\OB\\horgrup.dbf");
  auto prof = readBack("C:\\OB\\horprof.dbf");
  EXPECT_EQ(grup.types, oldTypes);
  size_t k = 0;
  long withoutTeacher = 0;
  for (auto& s : soluc.rows) {
    if (s["DIA"] == "0") continue;
    ASSERT_LT(k, grup.rows.size());
    ASSERT_LT(k, prof.rows.size());
    auto& g = grup.rows[k];
    auto& p = prof.rows[k];
    SCOPED_TRACE(k);
    std::string dni = dniOf.count(s["PROF"]) ? dniOf[s["PROF"]] : "0";
    std::string codasig = codvalenOf[s["NIVEL"] + "|" + s["CURSO"] + "|" + s["ASIG"]];
    withoutTeacher += dni == "0";
    EXPECT_EQ(p["DIASEM"], s["DIA"]);
    EXPECT_EQ(p["NUMHORA"], s["HORA"]);
    EXPECT_EQ(p["OCUPA"], s["AULA"]);
    EXPECT_EQ(p["DNI"], dni);
    EXPECT_EQ(g["DIASEM"], s["DIA"]);
    EXPECT_EQ(g["NUMHORA"], s["HORA"]);
    EXPECT_EQ(g["DNI"], dni);
    EXPECT_EQ(g["CODASIG"], codasig);
    if (!codasig.empty()) {
      EXPECT_EQ(g["CODGRUP"], groupOf(codasig, s["GRUPO"]));
    }
    ++k;
  }
  EXPECT_EQ(k, grup.rows.size());
  EXPECT_EQ(k, prof.rows.size());
  EXPECT_THAT(out, HasSubstr("filas escritas: " + std::to_string(k)));
  EXPECT_THAT(out, HasSubstr("filas sin profesor (dni 0): " + std::to_string(withoutTeacher)));
}

TEST_F(EndToEndTest, ADryRunLeavesTheSchoolsFolderAlone) {
  const std::string g = bytes("C:\\OB\\horgrup.dbf"), p = bytes("C:\\OB\\horprof.dbf");
  int status = -1;
  std::string out = run({"import", "--dry-run"}, &status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_EQ(bytes("C:\\OB\\horgrup.dbf"), g);
  EXPECT_EQ(bytes("C:\\OB\\horprof.dbf"), p);
  EXPECT_GT(readBack("C:\\KTEMP\\VAVOVIDI\\horgrup.dbf").rows.size(), 0u);
}

TEST_F(EndToEndTest, TeachersWithoutNumberEndTheCommandListingThem) {
  Table t;
  t.setTableName("C:\\KTEMP\\PROFT.DBF");
  t.open();
  t.first();
  ASSERT_FALSE(t.eof());
  const std::string abrev = t.asString("ABREV"), nombre = t.asString("NOMBRE");
  t.edit();
  t.setInteger("DNI", 0);
  t.post();
  t.close();
  const std::string g = bytes("C:\\OB\\horgrup.dbf"), p = bytes("C:\\OB\\horprof.dbf");
  int status = -1;
  std::string out = run({"import"}, &status);
  EXPECT_NE(status, 0);
  EXPECT_THAT(out, HasSubstr("¡Atención! Sigue habiendo algún Profesor sin D.N.I.\n"
                             "Este proceso se dentendrá y deberá volver a ejecutar\n"
                             "la Importación, para poder corregir la incidencia"));
  EXPECT_THAT(out, HasSubstr(abrev));
  EXPECT_THAT(out, HasSubstr(nombre));
  EXPECT_EQ(bytes("C:\\OB\\horgrup.dbf"), g);
  EXPECT_EQ(bytes("C:\\OB\\horprof.dbf"), p);
}

TEST_F(EndToEndTest, TheStagingFolderIsRefusedAsSourceBeforeStaging) {
  const std::string staged = bytes("C:\\KTEMP\\VAVOVIDI\\grupos.dbf");
  int status = -1;
  std::string out = run({"import", "--source", "c:\\ktemp\\vavovidi"}, &status);
  EXPECT_EQ(status, 1);
  EXPECT_THAT(out, HasSubstr("es la carpeta de trabajo"));
  EXPECT_EQ(bytes("C:\\KTEMP\\VAVOVIDI\\grupos.dbf"), staged);
}

}  // namespace
}  // namespace pasarela::test

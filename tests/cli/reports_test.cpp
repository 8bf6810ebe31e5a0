// The reports scripts read: what they say agrees with the tables as an
// independent reader (dbfread) sees them, and the JSON forms parse.
#include <gtest/gtest.h>

#include <string>

#include "cli_fixture.h"
#include "support/dbf_builder.h"

namespace pasarela::test {
namespace {

TEST_F(CliTest, ExportReportCountsWhatTheTablesHold) {
  ASSERT_EQ(pasarela({"sample", "C:\\OB"}).exitCode, 0);
  const ProgramResult text = pasarela({"export"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  // The notices are on stderr, the report alone on stdout.
  EXPECT_NE(text.err.find("Proceso finalizado"), std::string::npos) << text.err;
  const std::string expected = python(
      "import dbfread,os,sys\n"
      "for t in ['ASIGVALT','ASIGNOMT','PROFT','AULAT','ALUMNOST','ASIGCURT','GRUPOST','CURSOST','ASIGT']:\n"
      "  n = len(dbfread.DBF(os.path.join(sys.argv[1], t + '.DBF')))\n"
      "  print('C:\\\\KTEMP\\\\%s.DBF: %d %s' % (t, n, 'registro' if n == 1 else 'registros'))",
      {host("KTEMP").string()});
  EXPECT_EQ(text.out, expected);

  const ProgramResult json = pasarela({"export", "--format", "json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  const std::string fromJson = python(
      "import json,sys\n"
      "for k, v in json.loads(sys.argv[1]).items():\n"
      "  if k != 'avisos': print('%s: %d %s' % (k, v, 'registro' if v == 1 else 'registros'))",
      {json.out});
  EXPECT_EQ(fromJson, expected);
}

TEST_F(CliTest, ImportReportInEveryFormat) {
  exportedSchoolWithSolution();
  const ProgramResult json = pasarela({"import", "--dry-run", "--format", "json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  // Rows written: one per placed solution row (DIA not 0), as dbfread sees
  // SOLUC.DBF and the staged horprof.dbf; unmatched teachers: PROF values of
  // those rows not in PROFT.DBF.
  const std::string check = python(
      "import dbfread,json,os,sys\n"
      "r = json.loads(sys.argv[1]); k = sys.argv[2]\n"
      "sol = [s for s in dbfread.DBF(os.path.join(k, 'SOLUC.DBF')) if s['DIA']]\n"
      "prof = set(p['ABREV'].strip() for p in dbfread.DBF(os.path.join(k, 'PROFT.DBF')))\n"
      "staged = len(dbfread.DBF(os.path.join(k, 'VAVOVIDI', 'horprof.dbf')))\n"
      "missing = sorted(set(s['PROF'].strip() for s in sol) - prof)\n"
      "print(r['resultado'], r['carpeta_origen'], r['filas_escritas'] == len(sol) == staged,\n"
      "      sorted(r['abreviaturas_sin_profesor']) == missing, r['carpeta_tablas'])",
      {json.out, host("KTEMP").string()});
  EXPECT_EQ(check, "prueba C:\\OB True True C:\\KTEMP\\VAVOVIDI\n");

  const ProgramResult csv = pasarela({"import", "--dry-run", "--format", "csv"});
  ASSERT_EQ(csv.exitCode, 0) << csv.err;
  const std::string rows = python(
      "import csv,io,json,sys\n"
      "rows = list(csv.reader(io.StringIO(sys.argv[1], newline='')))\n"
      "d = dict((k, v) for k, v in rows[1:])\n"
      "print(rows[0], d['filas_escritas'] == str(json.loads(sys.argv[2])['filas_escritas']), d['resultado'])",
      {csv.out, json.out});
  EXPECT_EQ(rows, "['clave', 'valor'] True prueba\n");

  const ProgramResult text = pasarela({"import"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("horgrup.dbf y horprof.dbf reemplazados en C:\\OB"), std::string::npos) << text.out;
}

TEST_F(CliTest, MissingSolutionIsReportedOnStderr) {
  ASSERT_EQ(pasarela({"sample", "C:\\OB"}).exitCode, 0);
  ASSERT_EQ(pasarela({"export"}).exitCode, 0);
  const std::string horgrup = get("OB/horgrup.dbf");
  const ProgramResult r = pasarela({"import"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("No se encuentra archivo SOLUC.DBF en C:\\KTEMP"), std::string::npos) << r.err;
  EXPECT_TRUE(holds("OB/horgrup.dbf", horgrup));
}

// Numeric fields whose bytes are no number (blanks, stars, two points, a
// lone sign) come out as strings, and the whole output stays valid JSON.
TEST_F(CliTest, DumpJsonIsValidWhateverANumericFieldHolds) {
  const std::vector<std::string> values = {"   12", " -3.5", "*****", "1.2.3",
                                           "    -", "  007", "   .5", "     "};
  std::vector<std::string> records;
  for (const std::string& v : values) records.push_back(v + "ab");
  put("KTEMP/RARO.DBF", buildDbf(0x03, {{"NUM", 'N', 5, 1}, {"TXT", 'C', 2}}, records));
  const ProgramResult r = pasarela({"dump", "C:\\KTEMP\\RARO.DBF", "--format", "json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  put("KTEMP/raro.json", r.out);
  const ProgramResult tool =
      runProgram("/usr/bin/python3", {"-m", "json.tool", host("KTEMP/raro.json").string()});
  EXPECT_EQ(tool.exitCode, 0) << r.out << tool.err;
  const std::string rows = python(
      "import json,sys\n"
      "rows = json.load(open(sys.argv[1]))\n"
      "print(len(rows), rows[0]['NUM'], rows[1]['NUM'], set(r['TXT'] for r in rows))",
      {host("KTEMP/raro.json").string()});
  EXPECT_EQ(rows, "8 12 -3.5 {'ab'}\n") << r.out;
}

}  // namespace
}  // namespace pasarela::test

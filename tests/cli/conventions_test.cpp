// The conventions every command keeps: help on stdout with exit 0, usage
// mistakes on stderr with exit 2 and nothing on stdout, failures of the run
// on stderr with exit 1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_fixture.h"

namespace pasarela::test {
namespace {

enum class Stream { Out, Err };

struct Case {
  std::vector<std::string> args;
  int exitCode;
  Stream stream;         // where the text goes; the other stream stays empty
  std::string expected;  // a piece of that text
};

void PrintTo(const Case& c, std::ostream* os) {
  for (const std::string& a : c.args) *os << a << ' ';
}

class ConventionsTest : public CliTest, public ::testing::WithParamInterface<Case> {};

TEST_P(ConventionsTest, StreamAndExitCode) {
  const Case& c = GetParam();
  const ProgramResult r = pasarela(c.args);
  EXPECT_EQ(r.exitCode, c.exitCode) << "stdout: " << r.out << "\nstderr: " << r.err;
  const std::string& text = c.stream == Stream::Out ? r.out : r.err;
  const std::string& other = c.stream == Stream::Out ? r.err : r.out;
  EXPECT_NE(text.find(c.expected), std::string::npos) << "looked for: " << c.expected << "\nin: " << text;
  EXPECT_EQ(other, "");
}

const Case kCases[] = {
    // The program as a whole.
    {{"--help"}, 0, Stream::Out, "Uso: pasarela ORDEN"},
    {{"-h"}, 0, Stream::Out, "Uso: pasarela ORDEN"},
    {{"--version"}, 0, Stream::Out, std::string("pasarela ") + PASARELA_VERSION + "\n"},
    {{}, 2, Stream::Err, "falta la orden"},
    {{"frobnicate"}, 2, Stream::Err, "orden desconocida 'frobnicate'"},
    {{"--verbose"}, 2, Stream::Err, "opción desconocida '--verbose'"},
    // sample
    {{"sample", "--help"}, 0, Stream::Out, "Uso: pasarela sample CARPETA"},
    {{"sample", "C:\\OB", "-h"}, 0, Stream::Out, "--without-dni N"},
    {{"sample", "C:\\OB", "--colour"}, 2, Stream::Err, "opción desconocida '--colour'"},
    {{"sample", "C:\\OB", "--scale"}, 2, Stream::Err, "falta el valor de --scale"},
    {{"sample"}, 2, Stream::Err, "falta el argumento CARPETA"},
    {{"sample", "C:\\OB", "C:\\OTRA"}, 2, Stream::Err, "sobra el argumento 'C:\\OTRA'"},
    {{"sample", "C:\\OB", "--scale", "0"}, 2, Stream::Err, "valor no válido para --scale: '0'"},
    {{"sample", "C:\\OB", "--scale=1001"}, 2, Stream::Err, "entre 1 y 1000"},
    {{"sample", "C:\\OB", "--scale", "abc"}, 2, Stream::Err, "valor no válido para --scale: 'abc'"},
    {{"sample", "C:\\OB", "--seed", "-1"}, 2, Stream::Err, "valor no válido para --seed: '-1'"},
    {{"sample", "C:\\OB", "--without-dni", "99999999999999999999"}, 2, Stream::Err, "--without-dni"},
    {{"sample", "C:\\OB", "--force=sí"}, 2, Stream::Err, "la opción --force no admite valor"},
    // export
    {{"export", "--help"}, 0, Stream::Out, "Uso: pasarela export [OPCIONES]"},
    {{"export", "--language", "castellano"}, 2, Stream::Err, "opción desconocida '--language'"},
    {{"export", "--source"}, 2, Stream::Err, "falta el valor de --source (CARPETA)"},
    {{"export", "--lang", "inglés"}, 2, Stream::Err, "valor no válido para --lang: 'inglés'"},
    {{"export", "--format", "xml"}, 2, Stream::Err, "valor no válido para --format: 'xml'"},
    {{"export", "extra"}, 2, Stream::Err, "sobra el argumento 'extra'"},
    // solve
    {{"solve", "--help"}, 0, Stream::Out, "Uso: pasarela solve [OPCIONES]"},
    {{"solve", "--seeds", "3"}, 2, Stream::Err, "opción desconocida '--seeds'"},
    {{"solve", "--seed"}, 2, Stream::Err, "falta el valor de --seed"},
    {{"solve", "--seed", "-1"}, 2, Stream::Err, "valor no válido para --seed: '-1'"},
    {{"solve", "--seed", "4294967296"}, 2, Stream::Err, "entre 0 y 4294967295"},
    // import
    {{"import", "--help"}, 0, Stream::Out, "Uso: pasarela import [OPCIONES]"},
    {{"import", "--dryrun"}, 2, Stream::Err, "opción desconocida '--dryrun'"},
    {{"import", "--centre"}, 2, Stream::Err, "falta el valor de --centre"},
    {{"import", "--format", "yaml"}, 2, Stream::Err, "valor no válido para --format: 'yaml'"},
    {{"import", "--dry-run=1"}, 2, Stream::Err, "no admite valor"},
    // dump
    {{"dump", "--help"}, 0, Stream::Out, "Uso: pasarela dump ARCHIVO [OPCIONES]"},
    {{"dump", "C:\\KTEMP\\AULAT.DBF", "--rows"}, 2, Stream::Err, "opción desconocida '--rows'"},
    {{"dump", "C:\\KTEMP\\AULAT.DBF", "--index"}, 2, Stream::Err, "falta el valor de --index"},
    {{"dump", "C:\\KTEMP\\AULAT.DBF", "--format", "xml"}, 2, Stream::Err, "(tabla, csv o json)"},
    {{"dump"}, 2, Stream::Err, "falta el argumento ARCHIVO"},
    // A run that fails: its message, exit 1.
    {{"dump", "C:\\KTEMP\\NOEXISTE.DBF"}, 1, Stream::Err, "NOEXISTE.DBF"},
    {{"import"}, 1, Stream::Err, "C:\\OB"},
    {{"export", "--source", "C:\\KTEMP\\VAVOVIDI"}, 1, Stream::Err, "C:\\KTEMP\\VAVOVIDI"},
    // "--" ends the options: a word after it is an operand, even "--help".
    {{"dump", "--", "--help"}, 1, Stream::Err, "--help"},
};

INSTANTIATE_TEST_SUITE_P(EveryCommand, ConventionsTest, ::testing::ValuesIn(kCases));

TEST_F(CliTest, UsageMistakeNamesTheWayToHelp) {
  const ProgramResult r = pasarela({"solve", "--seed", "-1"});
  EXPECT_EQ(r.err.substr(0, 15), "pasarela solve:");
  EXPECT_NE(r.err.find("Pruebe 'pasarela solve --help'."), std::string::npos) << r.err;
}

}  // namespace
}  // namespace pasarela::test

// The table object over files it creates: values, header bytes, editing
// states, messages, locks, sharing between objects and filters.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "data/table.h"
#include "table_fixture.h"

namespace pasarela {
namespace {

using test::messageOf;
using test::TableTest;

TEST_F(TableTest, WrittenValuesReadBackAfterReopening) {
  createAulas();
  {
    auto t = openAulas();
    t->append();
    t->setString("codigo", "A01");
    t->setString("nombre", "Aula de música   ");
    t->setInteger("plazas", -32);
    t->setFloat("superf", 45.25);
    t->setBoolean("activa", true);
    t->post();
    t->append();
    t->post();  // a blank record
  }
  auto t = openAulas();
  ASSERT_FALSE(t->eof());
  EXPECT_EQ(t->asString("CODIGO"), "A01");
  EXPECT_EQ(t->asString("NOMBRE"), "Aula de música");
  EXPECT_EQ(t->asInteger("PLAZAS"), -32);
  EXPECT_EQ(t->asString("PLAZAS"), "-32");
  EXPECT_DOUBLE_EQ(t->asFloat("SUPERF"), 45.25);
  EXPECT_EQ(t->asString("SUPERF"), "45.25");
  EXPECT_TRUE(t->asBoolean("ACTIVA"));
  EXPECT_EQ(t->asString("ACTIVA"), "T");
  EXPECT_EQ(t->recNo(), 1u);
  t->next();
  ASSERT_FALSE(t->eof());
  EXPECT_EQ(t->asString("CODIGO"), "");
  EXPECT_EQ(t->asInteger("PLAZAS"), 0);
  EXPECT_EQ(t->asFloat("SUPERF"), 0.0);
  EXPECT_TRUE(t->isNull("PLAZAS"));
  EXPECT_FALSE(t->asBoolean("ACTIVA"));
  t->next();
  EXPECT_TRUE(t->eof());
  EXPECT_EQ(t->recordCount(), 2u);
}

// The view of a field without a copy reads as the copy does, for every kind
// of field, accented text included, and views of two fields stand together.
TEST_F(TableTest, FieldViewsReadAsTheirCopies) {
  createAulas();
  {
    auto t = openAulas();
    t->append();
    t->setString("codigo", "A01");
    t->setString("nombre", "Aula de música");
    t->setInteger("plazas", 7);
    t->setFloat("superf", 2.5);
    t->setBoolean("activa", false);
    t->post();
    t->append();
    t->setString("nombre", "Peña");
    t->post();
  }
  auto t = openAulas();
  const std::vector<std::vector<std::string>> expected = {{"A01", "Aula de música", "7", "2.5", "F"},
                                                          {"", "Peña", "", "", ""}};
  std::size_t row = 0;
  for (t->first(); !t->eof(); t->next(), ++row) {
    ASSERT_LT(row, expected.size());
    const std::string_view codigo = t->asStringView(0), nombre = t->asStringView(1);
    EXPECT_EQ(codigo, expected[row][0]);
    EXPECT_EQ(nombre, expected[row][1]);
    for (int f = 0; f < t->fieldCount(); ++f) {
      EXPECT_EQ(t->asStringView(f), expected[row][static_cast<std::size_t>(f)]) << "field " << f;
      EXPECT_EQ(t->asStringView(f), t->asString(f)) << "field " << f;
    }
  }
  EXPECT_EQ(row, expected.size());
  EXPECT_EQ(messageOf([&] { t->asStringView(9); }), "Número de campo fuera de rango");
}

// The count of a file's records for reports: deleted records left out, as
// a walk over the table skips them, and a cut file or a missing one named.
TEST_F(TableTest, RecordsInAFileAreCountedWithoutDeletedOnes) {
  createAulas({"CODIGO"});
  {
    auto t = openAulas();
    fill(*t, {{"A1", 1}, {"A2", 2}, {"A3", 3}, {"A4", 4}, {"A5", 5}});
    t->goTo(2);
    t->deleteRecord();
    t->goTo(4);
    t->deleteRecord();
    EXPECT_EQ(t->recordCount(), 3u);
  }
  EXPECT_EQ(Table::recordsInFile("C:\\KTEMP\\AULAT.DBF"), 3u);
  EXPECT_EQ(Table::recordsInFile("c:\\ktemp\\aulat.dbf"), 3u);  // as Windows finds it

  // The last record cut short: the file holds fewer records than it says.
  const auto file = host("KTEMP/AULAT.DBF");
  std::filesystem::resize_file(file, std::filesystem::file_size(file) - 20);
  EXPECT_NE(messageOf([] { Table::recordsInFile("C:\\KTEMP\\AULAT.DBF"); }).find("C:\\KTEMP\\AULAT.DBF"),
            std::string::npos);
  EXPECT_NE(messageOf([] { Table::recordsInFile("C:\\KTEMP\\NOHAY.DBF"); }).find("C:\\KTEMP\\NOHAY.DBF"),
            std::string::npos);
}

TEST_F(TableTest, HeaderCountDateAndEndMarkAreRightWheneverClosed) {
  createAulas();
  for (int i = 1; i <= 3; ++i) {
    auto t = openAulas();
    t->append();
    t->setString("CODIGO", "X" + std::to_string(i));
    t->post();
    t->close();
    std::string b = bytes("KTEMP/AULAT.DBF");
    ASSERT_GE(b.size(), 32u);
    const unsigned headerLength = static_cast<unsigned char>(b[8]) | (static_cast<unsigned char>(b[9]) << 8);
    const unsigned recordLength =
        static_cast<unsigned char>(b[10]) | (static_cast<unsigned char>(b[11]) << 8);
    EXPECT_EQ(static_cast<unsigned char>(b[0]), 0x03);
    EXPECT_EQ(static_cast<unsigned char>(b[29]), 0x57);
    EXPECT_EQ(static_cast<unsigned char>(b[4]), i);
    EXPECT_EQ(headerLength, 32u * 6 + 1);
    EXPECT_EQ(recordLength, 1u + 10 + 20 + 11 + 19 + 1);
    EXPECT_EQ(b.size(), headerLength + i * recordLength + 1);
    EXPECT_EQ(b.back(), '\x1A');
    time_t now = time(nullptr);
    const tm local = *std::localtime(&now);  // one thread: the shared result is safe
    EXPECT_EQ(static_cast<unsigned char>(b[1]), local.tm_year);
    EXPECT_EQ(static_cast<unsigned char>(b[2]), local.tm_mon + 1);
  }
  // Field descriptors: the physical types chosen for the logical kinds.
  std::string b = bytes("KTEMP/AULAT.DBF");
  EXPECT_EQ(b[32 + 2 * 32 + 11], 'N');
  EXPECT_EQ(b[32 + 2 * 32 + 16], 11);
  EXPECT_EQ(b[32 + 3 * 32 + 11], 'N');
  EXPECT_EQ(b[32 + 3 * 32 + 17], 6);
  EXPECT_EQ(b[32 + 4 * 32 + 11], 'L');
  EXPECT_EQ(b[32 + 5 * 32], 0x0D);
}

TEST_F(TableTest, MessagesOfTheEditingStatesAndFieldLookup) {
  createAulas();
  auto named = openAulas("wwTableAulas");
  EXPECT_EQ(messageOf([&] { named->post(); }), "La fuente de datos no está en modo de edición o inserción");
  EXPECT_EQ(messageOf([&] { named->setString("CODIGO", "x"); }),
            "La fuente de datos no está en modo de edición o inserción");
  EXPECT_EQ(messageOf([&] { named->asString("NOEXISTE"); }),
            "wwTableAulas: No se encuentra el campo 'NOEXISTE'");
  named->close();
  auto anonymous = openAulas();
  EXPECT_EQ(messageOf([&] { anonymous->fieldIndex("Otro"); }), "No se encuentra el campo 'Otro'");
  EXPECT_EQ(anonymous->fieldIndex("nOmBrE"), 1);
  anonymous->append();
  anonymous->setString("NOMBRE", "doce");
  anonymous->post();
  // A bad value says what it is, then where it stands.
  const std::string where = " (tabla 'C:\\KTEMP\\AULAT.DBF', campo ";
  EXPECT_EQ(messageOf([&] { anonymous->asInteger("NOMBRE"); }),
            "'doce' no es un valor entero válido" + where + "'NOMBRE', registro 1)");
  anonymous->edit();
  anonymous->setString("NOMBRE", "");
  EXPECT_EQ(messageOf([&] { anonymous->asInteger("NOMBRE"); }),
            "'' no es un valor entero válido" + where + "'NOMBRE', registro 1)");
  anonymous->setString("NOMBRE", " 42");
  EXPECT_EQ(anonymous->asInteger("NOMBRE"), 42);
  EXPECT_EQ(messageOf([&] { anonymous->setString("PLAZAS", "4x"); }),
            "'4x' no es un valor entero válido" + where + "'PLAZAS', registro 1)");
  EXPECT_EQ(messageOf([&] { anonymous->setString("SUPERF", "1,2,3"); }),
            "'1,2,3' no es un valor punto flotante válido" + where + "'SUPERF', registro 1)");
  anonymous->setString("SUPERF", "1,5");  // either decimal separator
  EXPECT_EQ(anonymous->asFloat("SUPERF"), 1.5);
  // Blanks around, a sign, a point with nothing after it, or none before it.
  for (const auto& [text, value] : {std::pair<std::string, double>{" 12.5\t", 12.5},
                                    {"-0.25", -0.25},
                                    {"+3", 3.0},
                                    {"7.", 7.0},
                                    {".5", 0.5},
                                    {"-.5", -0.5}}) {
    anonymous->setString("SUPERF", text);
    EXPECT_EQ(anonymous->asFloat("SUPERF"), value) << text;
  }
  for (const std::string bad : {".", "-", "1.2.3", "1e5x", "- 1"})
    EXPECT_NE(messageOf([&] { anonymous->setString("SUPERF", bad); }).find("no es un valor punto flotante"),
              std::string::npos)
        << bad;
  anonymous->setFloat("PLAZAS", 2.5);  // a float into an integer field rounds
  EXPECT_EQ(anonymous->asInteger("PLAZAS"), 3);
  anonymous->setFloat("SUPERF", 7.6);
  EXPECT_EQ(anonymous->asInteger("SUPERF"), 8);
  EXPECT_NE(messageOf([&] { anonymous->setInteger("PLAZAS", 123456789012LL); }).find("no cabe"),
            std::string::npos);
}

TEST_F(TableTest, AClosedTableSaysItIsClosedBeforeLookingForTheField) {
  createAulas();
  auto t = openAulas("wwTableAulas");
  t->close();
  const std::string closed = "wwTableAulas: No se puede realizar esta operación con la tabla cerrada";
  // An existing field and a missing one alike: the table is the fault.
  for (const std::string field : {"CODIGO", "NOEXISTE"}) {
    SCOPED_TRACE(field);
    EXPECT_EQ(messageOf([&] { t->asString(field); }), closed);
    EXPECT_EQ(messageOf([&] { t->asInteger(field); }), closed);
    EXPECT_EQ(messageOf([&] { t->asFloat(field); }), closed);
    EXPECT_EQ(messageOf([&] { t->asDateTime(field); }), closed);
    EXPECT_EQ(messageOf([&] { t->asBoolean(field); }), closed);
    EXPECT_EQ(messageOf([&] { t->isNull(field); }), closed);
    EXPECT_EQ(messageOf([&] { t->setString(field, "x"); }), closed);
    EXPECT_EQ(messageOf([&] { t->setInteger(field, 1); }), closed);
    EXPECT_EQ(messageOf([&] { t->setFloat(field, 1.5); }), closed);
    EXPECT_EQ(messageOf([&] { t->setBoolean(field, true); }), closed);
    EXPECT_EQ(messageOf([&] { t->clear(field); }), closed);
    EXPECT_EQ(messageOf([&] { t->fieldIndex(field); }), closed);
  }
}

TEST_F(TableTest, TextIsCutByCharactersAndUnknownCharactersBecomeQuestionMarks) {
  createAulas();
  {
    auto t = openAulas();
    t->append();
    t->setString("CODIGO", "ÁÉÍÓÚñüçàèXYZ");  // 13 characters into 10
    t->setString("NOMBRE", "Ωmega €");
    t->post();
  }
  auto t = openAulas();
  EXPECT_EQ(t->asString("CODIGO"), "ÁÉÍÓÚñüçàè");
  EXPECT_EQ(t->asString("NOMBRE"), "?mega €");
  std::string b = bytes("KTEMP/AULAT.DBF");
  const std::size_t record = 32 * 6 + 1;
  EXPECT_EQ(static_cast<unsigned char>(b[record + 1]), 0xC1);       // Á in Windows-1252
  EXPECT_EQ(static_cast<unsigned char>(b[record + 11 + 6]), 0x80);  // €
}

TEST_F(TableTest, PendingRecordsArePostedDroppedOrDiscarded) {
  createAulas();
  auto t = openAulas();
  t->append();
  t->append();  // the unmodified one is dropped
  t->setString("CODIGO", "A");
  t->first();  // a modified one is posted first
  EXPECT_EQ(t->state(), TableState::Browse);
  EXPECT_EQ(t->recordCount(), 1u);
  t->append();
  t->setString("CODIGO", "B");
  t->close();  // discarded
  t->open();
  EXPECT_EQ(t->recordCount(), 1u);
  t->edit();
  t->setString("CODIGO", "C");
  t->next();  // posted by the move
  t->first();
  EXPECT_EQ(t->asString("CODIGO"), "C");
  t->edit();
  t->setString("CODIGO", "D");
  t->cancel();
  EXPECT_EQ(t->asString("CODIGO"), "C");
}

TEST_F(TableTest, DeletedRecordsAreSkipped) {
  createAulas();
  auto t = openAulas();
  fill(*t, {{"A", 1}, {"B", 2}, {"C", 3}});
  t->first();
  t->next();
  t->deleteRecord();
  EXPECT_EQ(t->asString("CODIGO"), "C");
  std::vector<std::string> seen;
  for (t->first(); !t->eof(); t->next()) seen.push_back(t->asString("CODIGO"));
  EXPECT_EQ(seen, (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(t->recordCount(), 2u);
  t->goTo(3);
  EXPECT_EQ(t->recNo(), 3u);
}

TEST_F(TableTest, ExclusiveUseFailsWhileAnotherObjectHoldsTheFile) {
  createAulas();
  auto a = openAulas();
  auto b = openAulas();  // two shared objects coexist
  EXPECT_EQ(messageOf([&] { openAulas("", true); }), "El archivo 'C:\\KTEMP\\AULAT.DBF' está en uso");
  a->close();
  b->close();
  auto x = openAulas("", true);
  EXPECT_EQ(messageOf([&] { openAulas(); }), "El archivo 'C:\\KTEMP\\AULAT.DBF' está en uso");
  Table creator;
  creator.setDatabaseName("C:\\KTEMP");
  creator.setTableName("AULAT.DBF");
  EXPECT_EQ(messageOf([&] { creator.emptyTable(); }), "El archivo 'C:\\KTEMP\\AULAT.DBF' está en uso");
  EXPECT_EQ(messageOf([&] {
              creator.createTable({{"A", FieldKind::String, 1}});
            }),
            "El archivo 'C:\\KTEMP\\AULAT.DBF' está en uso");
}

TEST_F(TableTest, TwoObjectsSeeEachOthersPostsOnTheirNextMove) {
  createAulas();
  auto a = openAulas();
  auto b = openAulas();
  fill(*a, {{"A", 1}});
  b->first();
  EXPECT_EQ(b->asString("CODIGO"), "A");
  fill(*a, {{"B", 2}});
  a->first();
  a->edit();
  a->setInteger("PLAZAS", 10);
  a->post();
  b->next();
  ASSERT_FALSE(b->eof());
  EXPECT_EQ(b->asString("CODIGO"), "B");
  b->prior();
  EXPECT_EQ(b->asInteger("PLAZAS"), 10);
}

TEST_F(TableTest, FilterComparesWithoutTrailingBlanksAndUndoesDoubledQuotes) {
  createAulas();
  auto t = openAulas();
  fill(*t, {{"A1", 1}, {"O'NE", 2}, {"A1", 3}, {"A10", 4}, {" A1", 5}});
  t->setFilter("Codigo= 'A1        '");
  t->setFiltered(true);
  std::vector<std::int64_t> seen;
  for (t->first(); !t->eof(); t->next()) seen.push_back(t->asInteger("PLAZAS"));
  EXPECT_EQ(seen, (std::vector<std::int64_t>{1, 3}));
  EXPECT_EQ(t->recordCount(), 2u);
  t->setFilter("CODIGO = 'O''NE'");
  t->first();
  EXPECT_EQ(t->asInteger("PLAZAS"), 2);
  t->next();
  EXPECT_TRUE(t->eof());
  EXPECT_THROW(t->setFilter("Codigo = A1"), Error);
  t->setFiltered(false);
  EXPECT_EQ(t->recordCount(), 5u);
}

TEST_F(TableTest, EmptyKeepsTheStructureAndMissingFilesAreNamed) {
  createAulas();
  {
    auto t = openAulas();
    fill(*t, {{"A", 1}, {"B", 2}});
  }
  Table t;
  t.setTableName("C:\\KTEMP\\aulat.dbf");
  t.emptyTable();
  t.open();
  EXPECT_TRUE(t.eof());
  EXPECT_TRUE(t.isEmpty());
  EXPECT_EQ(t.fieldCount(), 5);
  EXPECT_EQ(bytes("KTEMP/AULAT.DBF").size(), 32u * 6 + 1 + 1);
  Table missing("wwTableX");
  missing.setDatabaseName("C:\\KTEMP");
  missing.setTableName("NOHAY");
  EXPECT_EQ(messageOf([&] { missing.open(); }), "No se encuentra el archivo 'C:\\KTEMP\\NOHAY.DBF'");
}

}  // namespace
}  // namespace pasarela

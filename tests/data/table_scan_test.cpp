// Table::scan hands out the records the cursor's loop
// for (first(); !eof(); next()) visits, in its order, and leaves the table
// where that loop leaves it: deleted and filtered-out records skipped, index
// order kept, records the object still holds read back, another object's
// write during the pass seen, and more records than one read block holds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/field_ref.h"
#include "data/table.h"
#include "support/dbf_builder.h"
#include "table_fixture.h"

namespace pasarela {
namespace {

struct Visit {
  std::string codigo;
  std::int64_t plazas;
  bool operator==(const Visit&) const = default;
};

struct Place {
  std::uint32_t recNo;
  bool eof, bof;
  bool operator==(const Place&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Visit& v) { return out << v.codigo << "/" << v.plazas; }
std::ostream& operator<<(std::ostream& out, const Place& p) {
  return out << "recNo " << p.recNo << (p.eof ? " eof" : "") << (p.bof ? " bof" : "");
}

class TableScanTest : public test::TableTest {
 protected:
  void SetUp() override {
    TableTest::SetUp();
    createAulas({"NOMBRE"});
  }
  // What the cursor's loop reads, and where it ends.
  static std::vector<Visit> byCursor(Table& t, Place& end) {
    std::vector<Visit> visits;
    for (t.first(); !t.eof(); t.next()) visits.push_back({t.asString("CODIGO"), t.asInteger("PLAZAS")});
    end = {t.recNo(), t.eof(), t.bof()};
    return visits;
  }
  static std::vector<Visit> byScan(Table& t, Place& end) {
    std::vector<Visit> visits;
    FieldRef codigo(t, "CODIGO"), plazas(t, "PLAZAS");
    t.scan([&](const Table::RecordView& r) {
      visits.push_back({std::string(codigo.view(r)), plazas.integer(r)});
    });
    end = {t.recNo(), t.eof(), t.bof()};
    return visits;
  }
  static void expectSameAsCursor(Table& t) {
    Place cursorEnd{}, scanEnd{};
    const std::vector<Visit> expected = byCursor(t, cursorEnd);
    const std::vector<Visit> got = byScan(t, scanEnd);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(scanEnd, cursorEnd);
    // The table goes on from there as after the loop.
    t.prior();
    Place afterScan{t.recNo(), t.eof(), t.bof()};
    byCursor(t, cursorEnd);
    t.prior();
    EXPECT_EQ(afterScan, (Place{t.recNo(), t.eof(), t.bof()}));
  }
  static void fillNamed(Table& t, int from, int to) {
    for (int n = from; n <= to; ++n) {
      t.append();
      t.setString("CODIGO", "A" + std::to_string(n));
      // Names in an order of their own, for the index walk.
      t.setString("NOMBRE", "N" + std::to_string((n * 7919) % 1000 + 1000));
      t.setInteger("PLAZAS", n);
      t.post();
    }
  }
};

TEST_F(TableScanTest, EmptyAndOneRecordTablesEndAsTheLoopDoes) {
  auto t = openAulas();
  expectSameAsCursor(*t);
  fillNamed(*t, 1, 1);
  expectSameAsCursor(*t);
}

TEST_F(TableScanTest, DeletedRecordsAndAFilterAreSkipped) {
  auto t = openAulas();
  fillNamed(*t, 1, 40);
  for (int n : {1, 7, 8, 40}) {
    t->goTo(static_cast<std::uint32_t>(n));
    t->deleteRecord();
  }
  expectSameAsCursor(*t);
  t->close();
  t->setFilter("Codigo= 'A3'");
  t->setFiltered(true);
  t->open();
  expectSameAsCursor(*t);
  t->close();
  t->setFilter("Codigo= 'A40'");  // deleted: nothing is visible
  t->open();
  expectSameAsCursor(*t);
}

TEST_F(TableScanTest, IndexOrderIsKept) {
  auto t = openAulas();
  fillNamed(*t, 1, 300);
  t->setIndexName("NOMBRE");
  expectSameAsCursor(*t);
}

TEST_F(TableScanTest, ManyRecordsAndRecordsTheObjectStillHolds) {
  // More than one read block, then records posted through this very object
  // that may not have reached the file yet, and a change in place.
  auto t = openAulas();
  fillNamed(*t, 1, 9000);
  t->close();
  t->open();
  expectSameAsCursor(*t);
  fillNamed(*t, 9001, 9100);
  t->goTo(5);
  t->edit();
  t->setString("CODIGO", "cambiado");
  t->post();
  expectSameAsCursor(*t);
}

TEST_F(TableScanTest, AnotherObjectsWriteDuringThePassIsSeen) {
  auto reader = openAulas();
  auto writer = openAulas();
  fillNamed(*writer, 1, 9000);
  std::vector<std::string> codes;
  FieldRef codigo(*reader, "CODIGO");
  reader->scan([&](const Table::RecordView& r) {
    codes.emplace_back(codigo.view(r));
    // Halfway, the other object changes a record still ahead and appends one.
    if (codes.size() == 4500) {
      writer->goTo(8000);
      writer->edit();
      writer->setString("CODIGO", "cambiado");
      writer->post();
      fillNamed(*writer, 9001, 9001);
    }
  });
  ASSERT_EQ(codes.size(), 9001u);
  EXPECT_EQ(codes[7999], "cambiado");
  EXPECT_EQ(codes[8999], "A9000");
  EXPECT_EQ(codes[9000], "A9001");
}

TEST_F(TableScanTest, AClosedTableIsRefusedAndTheVisitsErrorGoesThrough) {
  auto t = openAulas();
  fillNamed(*t, 1, 3);
  int visits = 0;
  EXPECT_THROW(t->scan([&](const Table::RecordView&) {
    if (++visits == 2) throw Error("parado");
  }),
               Error);
  EXPECT_EQ(visits, 2);
  t->close();
  EXPECT_NE(test::messageOf([&] { t->scan([](const Table::RecordView&) {}); }), "(no error)");
}

TEST_F(TableScanTest, StoredBytesAreTheFieldAsTheFileHoldsIt) {
  auto t = openAulas();
  t->append();
  t->setString("CODIGO", "A1");
  t->setInteger("PLAZAS", 30);
  t->post();
  t->append();  // CODIGO left blank
  t->post();
  std::vector<std::string> codes, seats;
  FieldRef codigo(*t, "CODIGO"), plazas(*t, "PLAZAS");
  t->scan([&](const Table::RecordView& r) {
    codes.emplace_back(codigo.raw(r));
    seats.emplace_back(plazas.raw(r));
  });
  // CODIGO is C(10); PLAZAS a numeric field, right-aligned as dBase writes it.
  EXPECT_EQ(codes, (std::vector<std::string>{"A1        ", std::string(10, ' ')}));
  ASSERT_EQ(seats.size(), 2u);
  EXPECT_EQ(seats[0].substr(seats[0].size() - 3), " 30");
  EXPECT_EQ(seats[0].find_first_not_of(' '), seats[0].size() - 2);
}

TEST_F(TableScanTest, ANullHasNoStoredBytesUntilATextIsWrittenOverIt) {
  // Visual FoxPro keeps a nullable field's null in _NullFlags, not in its
  // bytes: an empty text and a null must not look the same.
  put("KTEMP/NULOS.DBF",
      test::buildDbf(0x30, {{"NOMBRE", 'C', 4, 0, 0x02}, {"_NullFlags", '0', 1, 0, 0x05}},
                     {std::string("Ana ") + '\0', std::string("    ") + '\0', std::string("    ") + '\x01'}));
  Table t;
  t.setDatabaseName("C:\\KTEMP");
  t.setTableName("NULOS.DBF");
  t.open();
  std::vector<std::string> stored;
  FieldRef nombre(t, "NOMBRE");
  t.scan([&](const Table::RecordView& r) { stored.emplace_back(nombre.raw(r)); });
  EXPECT_EQ(stored, (std::vector<std::string>{"Ana ", "    ", ""}));
  // A text written over the null takes its place.
  t.goTo(3);
  t.edit();
  t.setString("NOMBRE", "Eva");
  t.post();
  stored.clear();
  t.scan([&](const Table::RecordView& r) { stored.emplace_back(nombre.raw(r)); });
  EXPECT_EQ(stored, (std::vector<std::string>{"Ana ", "    ", "Eva "}));
}

}  // namespace
}  // namespace pasarela

// Posted records are written to the file in large blocks: whoever can look
// at the file (another table object of this process, another program once
// the table is closed) still sees every posted record, and a write that
// fails while a block goes out is reported as it always was.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "base/error.h"
#include "data/staging.h"
#include "data/table.h"
#include "dbase/oracle_run.h"
#include "table_fixture.h"

namespace pasarela {
namespace {

// More records than one write block holds (62-byte records).
constexpr int kManyRecords = 12000;

std::string code(int n) { return "C" + std::to_string(n); }

class TableWriteBehindTest : public test::TableTest {
 protected:
  void SetUp() override {
    TableTest::SetUp();
    createAulas({"CODIGO"});
  }
  std::unique_ptr<Table> open(const std::string& index = "") {
    auto t = std::make_unique<Table>();
    t->setDatabaseName("C:\\KTEMP");
    t->setTableName("AULAT.DBF");
    t->setIndexName(index);
    t->open();
    return t;
  }
  static void post(Table& t, int from, int to) {
    for (int n = from; n <= to; ++n) {
      t.append();
      t.setString("CODIGO", code(n));
      t.setInteger("PLAZAS", n);
      t.post();
    }
  }
  // Every record 1..count in physical order, with its own values.
  static void expectRecords(Table& t, int count) {
    int n = 0;
    for (t.first(); !t.eof(); t.next()) {
      ++n;
      ASSERT_EQ(t.asString("CODIGO"), code(n));
      ASSERT_EQ(t.asInteger("PLAZAS"), n);
    }
    EXPECT_EQ(n, count);
  }
  std::string windowsPath() const { return "C:\\KTEMP\\AULAT.DBF"; }
};

TEST_F(TableWriteBehindTest, AnotherObjectSeesEveryPostedRecord) {
  auto writer = open();
  auto reader = open();
  post(*writer, 1, 10);
  expectRecords(*reader, 10);
  post(*writer, 11, kManyRecords);
  expectRecords(*reader, kManyRecords);
  EXPECT_EQ(reader->recordCount(), static_cast<std::uint32_t>(kManyRecords));

  // Changes in place, then more records, seen by an object opened now, in
  // index order and through FindKey.
  writer->first();
  writer->edit();
  writer->setString("NOMBRE", "cambiado");
  writer->post();
  post(*writer, kManyRecords + 1, kManyRecords + 5);
  auto late = open("CODIGO");
  ASSERT_TRUE(late->findKey(code(kManyRecords + 5)));
  EXPECT_EQ(late->asInteger("PLAZAS"), kManyRecords + 5);
  ASSERT_TRUE(late->findKey(code(1)));
  EXPECT_EQ(late->asString("NOMBRE"), "cambiado");
  late->setIndexName("");
  expectRecords(*late, kManyRecords + 5);
}

TEST_F(TableWriteBehindTest, TheWritingObjectReadsBackWhatItHolds) {
  auto t = open();
  post(*t, 1, 300);
  t->goTo(150);
  t->edit();
  t->setString("NOMBRE", "medio");
  t->post();
  t->goTo(151);
  EXPECT_EQ(t->asString("CODIGO"), code(151));
  t->goTo(150);
  EXPECT_EQ(t->asString("NOMBRE"), "medio");
  expectRecords(*t, 300);
}

// Records changed in place here and there while the same object reads on:
// what it read before stays good except the records changed, which it must
// see changed, and so must another object, whose own changes this one sees.
TEST_F(TableWriteBehindTest, ChangesInPlaceShowToTheChangerAndToOthers) {
  {
    auto t = open();
    post(*t, 1, kManyRecords);
  }
  auto changer = open();
  auto other = open();
  std::map<int, std::string> names;  // record -> NOMBRE expected
  for (int n = 7; n <= kManyRecords; n += 997) {
    changer->goTo(static_cast<std::uint32_t>(n - 1));  // a neighbour first: its block is now held
    ASSERT_EQ(changer->asString("CODIGO"), code(n - 1));
    changer->goTo(static_cast<std::uint32_t>(n));
    changer->edit();
    changer->setString("NOMBRE", "cambio " + std::to_string(n));
    changer->post();
    names[n] = "cambio " + std::to_string(n);
    changer->goTo(static_cast<std::uint32_t>(n + 1));
    ASSERT_EQ(changer->asString("CODIGO"), code(n + 1));
  }
  // The other object changes a record the changer has read and holds.
  other->goTo(8);
  other->edit();
  other->setString("NOMBRE", "del otro");
  other->post();
  names[8] = "del otro";
  // The changer's next post, made without reading first, must not make the
  // block it read before the other's change good again.
  post(*changer, kManyRecords + 1, kManyRecords + 1);
  changer->goTo(8);
  EXPECT_EQ(changer->asString("NOMBRE"), "del otro");

  for (Table* t : {changer.get(), other.get()}) {
    int n = 0;
    for (t->first(); !t->eof(); t->next()) {
      ++n;
      ASSERT_EQ(t->asString("CODIGO"), code(n));
      const auto it = names.find(n);
      ASSERT_EQ(t->asString("NOMBRE"), it == names.end() ? "" : it->second) << "record " << n;
    }
    EXPECT_EQ(n, kManyRecords + 1);
  }
}

TEST_F(TableWriteBehindTest, AnotherProgramSeesEveryRecordOnceClosed) {
  {
    auto t = open();
    post(*t, 1, kManyRecords);
    t->first();
    t->edit();
    t->setString("NOMBRE", "primero");
    t->post();
    t->close();
  }
  // python3-dbfread reads the file in a process of its own.
  std::string out = test::python({"dbfread", host("KTEMP/AULAT.DBF").string()});
  std::string expected = "CODIGO|NOMBRE|PLAZAS|SUPERF|ACTIVA\n";
  for (int n = 1; n <= kManyRecords; ++n)
    expected += code(n) + "|" + (n == 1 ? "primero" : "") + "|" + std::to_string(n) + "||\n";
  EXPECT_EQ(out, expected);

  // The header counts the records the file holds, and the end mark follows them.
  std::string b = bytes("KTEMP/AULAT.DBF");
  ASSERT_GT(b.size(), 32u);
  const unsigned count = static_cast<unsigned char>(b[4]) | (static_cast<unsigned char>(b[5]) << 8) |
                         (static_cast<unsigned char>(b[6]) << 16);
  const unsigned headerLength = static_cast<unsigned char>(b[8]) | (static_cast<unsigned char>(b[9]) << 8);
  EXPECT_EQ(count, static_cast<unsigned>(kManyRecords));
  EXPECT_EQ(b.size(), headerLength + kManyRecords * 62u + 1);
  EXPECT_EQ(b.back(), '\x1A');
}

TEST_F(TableWriteBehindTest, AFileCopyMadeWhileTheTableIsOpenHoldsEveryPost) {
  auto t = open();
  post(*t, 1, 40);  // fewer than a block: all still held
  t->goTo(7);
  t->edit();
  t->setString("NOMBRE", "séptimo");
  t->post();
  CopiarArchivo("C:\\KTEMP\\COPIA.DBF", windowsPath());
  // Read by another program, with the table still open here.
  std::string expected = "CODIGO|NOMBRE|PLAZAS|SUPERF|ACTIVA\n";
  for (int n = 1; n <= 40; ++n)
    expected += code(n) + "|" + (n == 7 ? "séptimo" : "") + "|" + std::to_string(n) + "||\n";
  EXPECT_EQ(test::python({"dbfread", host("KTEMP/COPIA.DBF").string()}), expected);
  const std::string b = bytes("KTEMP/COPIA.DBF");
  ASSERT_GT(b.size(), 8u);
  EXPECT_EQ(static_cast<unsigned char>(b[4]), 40u);
  EXPECT_EQ(b.back(), '\x1A');
  // The table goes on as before.
  post(*t, 41, 45);
  t->close();
  auto again = open();
  EXPECT_EQ(again->recordCount(), 45u);
}

// In a child process whose files may not grow past `limit` bytes: posts
// `records` records, closes, and reports the message of the first failure
// and where it came ("post" or "close").
std::string failingRun(const std::function<std::unique_ptr<Table>()>& open, std::uint64_t limit,
                       int records) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return "no pipe";
  pid_t pid = fork();
  if (pid == 0) {
    close(pipeFds[0]);
    std::string report = "(no error)";
    try {
      auto t = open();
      signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
      rlimit r{limit, limit};
      setrlimit(RLIMIT_FSIZE, &r);
      std::string stage = "post";
      try {
        for (int n = 1; n <= records; ++n) {
          t->append();
          t->setString("CODIGO", code(n));
          t->post();
        }
        stage = "close";
        t->close();
      } catch (const Error& e) {
        report = stage + ": " + e.what();
      }
    } catch (const std::exception& e) {
      report = std::string("setup: ") + e.what();
    }
    (void)!write(pipeFds[1], report.data(), report.size());
    _exit(0);
  }
  close(pipeFds[1]);
  std::string out;
  char buf[512];
  ssize_t n;
  while ((n = read(pipeFds[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<std::size_t>(n));
  close(pipeFds[0]);
  waitpid(pid, nullptr, 0);
  return out;
}

TEST_F(TableWriteBehindTest, AWriteFailingWhenTheRecordsGoOutIsReportedNamingTheFile) {
  // A file that may not grow is a full disk to the program: I/O error 101.
  const std::string expected = "No se puede escribir el archivo '" + windowsPath() + "': Disco lleno";
  const std::uint64_t limit = 16 * 1024;
  // A few records go out at close; many fill a block while being posted.
  EXPECT_EQ(failingRun([&] { return open(); }, limit, 400), "close: " + expected);
  EXPECT_EQ(failingRun([&] { return open(); }, limit, kManyRecords), "post: " + expected);

  // Nothing half-written is counted: the header still says what the file
  // held before, and every reader agrees.
  std::string b = bytes("KTEMP/AULAT.DBF");
  ASSERT_GT(b.size(), 8u);
  EXPECT_EQ(b[4], 0);
  EXPECT_EQ(b[5], 0);
  EXPECT_EQ(test::python({"dbfread", host("KTEMP/AULAT.DBF").string()}),
            "CODIGO|NOMBRE|PLAZAS|SUPERF|ACTIVA\n");
  auto t = open();
  EXPECT_TRUE(t->isEmpty());
}

}  // namespace
}  // namespace pasarela

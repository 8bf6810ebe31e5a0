// Damaged tables: a clear error naming the file, or what is really there;
// never a read past the end.
#include <gtest/gtest.h>

#include "base/error.h"
#include "data/table.h"
#include "support/dbf_builder.h"
#include "support/drive_c.h"

namespace pasarela {
namespace {

using test::buildDbf;

class MalformedTest : public test::TempDriveTest {
 protected:
  std::string good() {
    return buildDbf(0x03, {{"COD", 'C', 4}, {"NUM", 'N', 5}}, {"A   00012", "B   00034", "C   00056"});
  }
  // The message of opening `bytes` as a table, or "" when it opens.
  std::string openError(const std::string& bytes) {
    test::writeFile(host("KTEMP/ROTA.DBF").string(), bytes);
    Table t;
    t.setTableName("C:\\KTEMP\\ROTA.DBF");
    try {
      t.open();
    } catch (const Error& e) {
      return e.what();
    }
    return "";
  }
  std::unique_ptr<Table> openRota() {
    auto t = std::make_unique<Table>();
    t->setTableName("C:\\KTEMP\\ROTA.DBF");
    t->open();
    return t;
  }
};

TEST_F(MalformedTest, BrokenHeadersAreReportedWithTheFileName) {
  const std::string name = "'C:\\KTEMP\\ROTA.DBF'";
  EXPECT_NE(openError(good().substr(0, 20)).find(name), std::string::npos);
  EXPECT_NE(openError("").find(name), std::string::npos);
  std::string b = good();
  b[0] = 0x77;  // unknown version
  EXPECT_NE(openError(b).find(name), std::string::npos);
  b = good();
  test::put16(b, 8, 40);  // header length cuts the descriptors
  EXPECT_NE(openError(b).find("los campos pasan del final de la cabecera"), std::string::npos);
  b = good();
  test::put16(b, 10, 3);  // records shorter than their fields
  EXPECT_NE(openError(b).find("no caben"), std::string::npos);
  b = good();
  test::put16(b, 8, 0xFFFF);  // header longer than the file
  EXPECT_NE(openError(b).find(name), std::string::npos);
  b = good();
  b[32 + 16] = 0;  // a zero-length field
  EXPECT_NE(openError(b).find("longitud cero"), std::string::npos);
  b = good();
  b[32 + 64] = 'X';  // no 0x0D before the records
  EXPECT_NE(openError(b).find(name), std::string::npos);
}

// A table shorter than its header says lost records: taking what is left
// would export half a school as if it were all of it. (This was once read
// as the records there; it is damage, and an error naming the file.)
TEST_F(MalformedTest, ATableShorterThanItsHeaderSaysIsAnError) {
  const std::string name = "'C:\\KTEMP\\ROTA.DBF'";
  std::string b = good();
  b.resize(b.size() - 1 - 5);  // the last record cut short
  std::string message = openError(b);
  EXPECT_NE(message.find(name), std::string::npos) << message;
  EXPECT_NE(message.find("truncado"), std::string::npos) << message;
  b = good();
  b.resize(b.size() - 1 - 9);  // one whole record gone, end mark too
  EXPECT_NE(openError(b).find("truncado"), std::string::npos);
  b = good();
  test::put32(b, 4, 1000000);  // a count beyond the file
  EXPECT_NE(openError(b).find("truncado"), std::string::npos);
  // Without the end mark the records are all there: no error.
  b = good();
  b.resize(b.size() - 1);
  EXPECT_EQ(openError(b), "");
  EXPECT_EQ(openRota()->recordCount(), 3u);
}

TEST_F(MalformedTest, ARecordLengthThatIsNotTheSumOfItsFieldsIsAnError) {
  std::string b = good();
  test::put16(b, 10, 12);  // two bytes more than the fields
  std::string message = openError(b);
  EXPECT_NE(message.find("'C:\\KTEMP\\ROTA.DBF'"), std::string::npos) << message;
  EXPECT_NE(message.find("longitud de registro"), std::string::npos) << message;
}

TEST_F(MalformedTest, GarbageInNumericFieldsReadsAsTextAndFailsAsNumber) {
  std::string b = buildDbf(0x03, {{"NUM", 'N', 5}, {"DIA", 'D', 8}, {"SI", 'L', 1}}, {"12a4 2023X131Q"});
  ASSERT_EQ(openError(b), "");
  auto t = openRota();
  EXPECT_EQ(t->asString("NUM"), "12a4");
  EXPECT_THROW(t->asInteger("NUM"), Error);
  EXPECT_THROW(t->asFloat("NUM"), Error);
  EXPECT_EQ(t->asString("DIA"), "2023X131");
  EXPECT_EQ(t->asString("SI"), "");
  EXPECT_FALSE(t->asBoolean("SI"));
}

TEST_F(MalformedTest, MemoPointersOutsideTheMemoFileAreReported) {
  std::string b = buildDbf(0xF5, {{"M", 'M', 10}}, {"     99999", "         8"});
  test::writeFile(host("KTEMP/ROTA.DBF").string(), b);
  std::string fpt(512, '\0');
  fpt[7] = 64;  // block size 64
  fpt += std::string("\0\0\0\1\x7F\xFF\xFF\xFF", 8) + "short";
  test::writeFile(host("KTEMP/ROTA.FPT").string(), fpt);
  auto t = openRota();
  try {
    t->asString("M");
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("ROTA.FPT"), std::string::npos) << e.what();
  }
  t->next();
  EXPECT_THROW(t->asString("M"), Error);  // a length past the end
}

TEST_F(MalformedTest, NotANumberInBinaryFieldsFailsAsNumber) {
  const std::string nan("\0\0\0\0\0\0\xF8\x7F", 8);
  const std::string inf("\0\0\0\0\0\0\xF0\x7F", 8);
  ASSERT_EQ(openError(buildDbf(0x30, {{"DOBLE", 'B', 8}, {"OTRO", 'B', 8}}, {nan + inf})), "");
  auto t = openRota();
  EXPECT_THROW(t->asInteger("DOBLE"), Error);
  EXPECT_THROW(t->asFloat("OTRO"), Error);
}

}  // namespace
}  // namespace pasarela

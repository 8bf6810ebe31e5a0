// A text field's bytes as read back: trailing blanks and NULs dropped, and
// the check for plain ASCII that lets a read skip the code-page conversion.
// Both read words at a time; here they are held against a reading of one
// byte after another, over fields of every length up to 40 and bytes drawn
// mostly from blanks, NULs, letters and bytes above 0x7F, at every offset.
// Writing moves short fields in words too: held against a byte-by-byte
// copy, cut and padded, with the bytes around the field left alone.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "dbase/codepage.h"
#include "dbase/dbf_value.h"

namespace pasarela::dbase {
namespace {

std::string_view trimmedByteByByte(std::string_view bytes) {
  std::size_t n = bytes.size();
  while (n > 0 && (bytes[n - 1] == ' ' || bytes[n - 1] == '\0')) --n;
  return bytes.substr(0, n);
}

bool asciiByteByByte(std::string_view bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Field contents with long runs of padding, as stored names and codes have.
std::string randomContents(std::mt19937& random, std::size_t length) {
  static const char kBytes[] = {' ', ' ', ' ', '\0', 'A', 'z', '7', '\x7F', '\x80', '\xA4', '\xFF', '\x01'};
  std::string bytes(length, ' ');
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kBytes - 1);
  std::uniform_int_distribution<std::size_t> end(0, length);
  const std::size_t used = end(random);  // then only padding, mostly
  for (std::size_t i = 0; i < length; ++i)
    bytes[i] = i < used ? kBytes[pick(random)] : (random() % 8 == 0 ? '\0' : ' ');
  return bytes;
}

TEST(FieldText, TrailingBlanksAndNulsAreDroppedAsByteByByte) {
  std::mt19937 random(20261209);
  for (int length = 0; length <= 40; ++length) {
    for (int offset = 1; offset <= 9; ++offset) {
      for (int round = 0; round < 200; ++round) {
        const std::string contents = randomContents(random, static_cast<std::size_t>(length));
        // The field sits after other bytes that are not padding, as in a record.
        const std::string record = std::string(static_cast<std::size_t>(offset), 'X') + contents + "YYYYYYYY";
        Field f;
        f.length = length;
        f.offset = offset;
        const std::string_view got = readTrimmed(f, record.data());
        ASSERT_EQ(got.data(), record.data() + offset);
        ASSERT_EQ(got, trimmedByteByByte(contents)) << "length " << length << " offset " << offset;
      }
    }
  }
}

TEST(FieldText, PlainAsciiAgreesWithByteByByte) {
  std::mt19937 random(7);
  for (int length = 0; length <= 40; ++length) {
    for (int round = 0; round < 400; ++round) {
      std::string bytes = randomContents(random, static_cast<std::size_t>(length));
      // Half of them plain: every byte above 0x7F taken out.
      if (round % 2 == 0)
        for (char& c : bytes)
          if (static_cast<unsigned char>(c) >= 0x80) c = 'a';
      ASSERT_EQ(CodePage::plainAscii(bytes), asciiByteByByte(bytes)) << "length " << length;
    }
    // One byte above 0x7F at each place in an otherwise plain text.
    for (int at = 0; at < length; ++at) {
      std::string bytes(static_cast<std::size_t>(length), 'a');
      bytes[static_cast<std::size_t>(at)] = '\x80';
      ASSERT_FALSE(CodePage::plainAscii(bytes)) << "length " << length << " at " << at;
    }
  }
}

TEST(FieldText, WritingCutsAndPadsAsByteByByte) {
  std::mt19937 random(42);
  for (int length = 1; length <= 40; ++length) {
    for (std::size_t size = 0; size <= static_cast<std::size_t>(length) + 3; ++size) {
      std::string value(size, ' ');
      for (char& c : value) c = static_cast<char>('a' + random() % 26);
      const int offset = 1 + static_cast<int>(random() % 9);
      // A record of bytes that are neither blanks nor the value's.
      std::string record(static_cast<std::size_t>(offset + length + 8), '#');
      Field f;
      f.length = length;
      f.offset = offset;
      writeText(f, record.data(), value);
      std::string expected(static_cast<std::size_t>(offset + length + 8), '#');
      for (int i = 0; i < length; ++i)
        expected[static_cast<std::size_t>(offset + i)] =
            static_cast<std::size_t>(i) < size ? value[static_cast<std::size_t>(i)] : ' ';
      ASSERT_EQ(record, expected) << "length " << length << " value of " << size;
    }
  }
}

}  // namespace
}  // namespace pasarela::dbase

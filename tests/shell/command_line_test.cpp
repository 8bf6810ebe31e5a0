// The host's command line: the direction's case folding and the handle read
// as hexadecimal after a "$".
#include <gtest/gtest.h>

#include "base/error.h"
#include "shell/command_line.h"

using pasarela::shell::lowerAsciiLetters;
using pasarela::shell::parseHostHandle;

namespace {

std::string conversionMessage(const std::string& text) {
  try {
    parseHostHandle(text);
  } catch (const pasarela::Error& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(DirectionParameter, OnlyAsciiCapitalsAreLowered) {
  EXPECT_EQ(lowerAsciiLetters("IMPORTAR"), "importar");
  EXPECT_EQ(lowerAsciiLetters("ExPoRtAr"), "exportar");
  // Accented capitals and blanks stay: " importar" is not a direction.
  EXPECT_EQ(lowerAsciiLetters("IMPORTAR\xC3\x81"), "importar\xC3\x81");
  EXPECT_EQ(lowerAsciiLetters(" IMPORTAR "), " importar ");
}

TEST(HostHandleParameter, IsAlwaysHexadecimal) {
  EXPECT_EQ(parseHostHandle("10"), 16u);
  EXPECT_EQ(parseHostHandle("1A2B"), 0x1A2Bu);
  EXPECT_EQ(parseHostHandle("1a2b"), 0x1A2Bu);
  EXPECT_EQ(parseHostHandle("0"), 0u);
  EXPECT_EQ(parseHostHandle("FFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(parseHostHandle("0000000000001A2B"), 0x1A2Bu);  // leading zeros allowed
}

TEST(HostHandleParameter, AnythingElseIsRefusedWithTheConvertedText) {
  EXPECT_EQ(conversionMessage("1G"), "'$1G' no es un valor entero válido");
  EXPECT_EQ(conversionMessage(""), "'$' no es un valor entero válido");
  EXPECT_EQ(conversionMessage("$10"), "'$$10' no es un valor entero válido");
  EXPECT_EQ(conversionMessage("0x10"), "'$0x10' no es un valor entero válido");
  EXPECT_EQ(conversionMessage("100000000"), "'$100000000' no es un valor entero válido");
  EXPECT_EQ(conversionMessage(" 10"), "'$ 10' no es un valor entero válido");
  EXPECT_EQ(conversionMessage("-1"), "'$-1' no es un valor entero válido");
}

#include <gtest/gtest.h>

#include "export/group_code.h"

namespace pasarela::exporting {
namespace {

TEST(GroupCode, SplitsYearLevelAndLetter) {
  const GroupCode group = splitGroupCode("1ESOA");
  EXPECT_EQ(group.year, "1");
  EXPECT_EQ(group.level, "ESO");
  EXPECT_EQ(group.letter, "A");
  EXPECT_TRUE(group.complete());
  EXPECT_EQ(groupAbbreviation(group), "EO1A");
  EXPECT_EQ(courseAbbreviation("M", group), "ME1");
  EXPECT_EQ(groupDescription("M", group), "M ESO 1 A");
}

TEST(GroupCode, ShortCodesGiveShortParts) {
  const GroupCode three = splitGroupCode("1BA");
  EXPECT_EQ(three.level, "BA");
  EXPECT_EQ(three.letter, "A");
  EXPECT_EQ(groupAbbreviation(three), "B1A");

  const GroupCode one = splitGroupCode("1");
  EXPECT_EQ(one.year, "1");
  EXPECT_EQ(one.level, "");
  EXPECT_EQ(one.letter, "1");
  EXPECT_FALSE(one.complete());
  EXPECT_EQ(groupAbbreviation(one), "11");

  const GroupCode none = splitGroupCode("");
  EXPECT_FALSE(none.complete());
  EXPECT_EQ(groupAbbreviation(none), "");
  EXPECT_EQ(courseAbbreviation("", none), "");
}

TEST(GroupCode, LevelIsAtMostThreeCharactersAndLetterIsTheLast) {
  const GroupCode group = splitGroupCode("2BACHX");
  EXPECT_EQ(group.level, "BAC");
  EXPECT_EQ(group.letter, "X");
  EXPECT_EQ(groupAbbreviation(group), "BC2X");
  EXPECT_EQ(courseAbbreviation("", group), "B2");
}

TEST(GroupCode, CountsAccentedCharactersWhole) {
  const GroupCode group = splitGroupCode("1ÁÉÍÑ");
  EXPECT_EQ(group.level, "ÁÉÍ");
  EXPECT_EQ(group.letter, "Ñ");
  EXPECT_EQ(groupAbbreviation(group), "ÁÍ1Ñ");
}

}  // namespace
}  // namespace pasarela::exporting

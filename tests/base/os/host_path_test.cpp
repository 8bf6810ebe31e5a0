// Paths from UTF-8 text: a folder with an accented name is the same folder
// whichever way its name travels.
#include "base/os/host_path.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/os/file.h"
#include "base/os/system.h"
#include "support/temp_folder.h"

namespace pasarela::os {
namespace {

TEST(HostPath, KeepsUtf8NamesBothWays) {
  for (std::string name : {"Peña", "AÑO2024.DBF", "Ürün €", "plain"}) {
    EXPECT_EQ(utf8(hostPath(name)), name);
    EXPECT_EQ(fileNameUtf8(hostPath("C:/x/" + name)), name);
  }
  EXPECT_EQ(stemUtf8(hostPath("dir/Peña.dbf")), "Peña");
}

TEST(HostPath, AnAccentedFolderHoldsFilesUnderItsOwnName) {
  test::TempFolder dir;
  const auto folder = dir / hostPath("Peña");
  std::filesystem::create_directory(folder);
  File f;
  ASSERT_TRUE(
      File::open(folder / hostPath("Ñandú.dbf"), Access::ReadWrite, Create::New, Share::Unlocked, f).ok());
  ASSERT_TRUE(f.close().ok());
  // The directory listing gives back the UTF-8 spelling.
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    names.push_back(fileNameUtf8(e.path()));
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0],
            "Pe\xC3\xB1"
            "a");
  EXPECT_TRUE(std::filesystem::exists(dir / hostPath("Peña/Ñandú.dbf")));
}

TEST(LocalTime, AgreesWithTheCalendar) {
  // Noon UTC on 2024-02-29 is that day in every time zone up to +-11 hours.
  const std::tm tm = localTime(1709208000);
  EXPECT_EQ(tm.tm_year, 124);
  EXPECT_EQ(tm.tm_mon, 1);
  EXPECT_EQ(tm.tm_mday, 29);
}

}  // namespace
}  // namespace pasarela::os

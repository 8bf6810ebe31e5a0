// libFuzzer target for the .DBF reader: the input is written as a table (and
// as its memo files), opened, and every field of every record read as text
// and as numbers. Errors are fine; crashes and bad reads are not.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "data/table.h"
#include "data/winpath.h"
#include "base/error.h"

namespace {

std::filesystem::path folder() {
  static std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() / ("pasarela-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

void writeFile(const std::filesystem::path& p, const std::uint8_t* data, std::size_t size) {
  std::ofstream(p, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto dir = folder();
  writeFile(dir / "F.DBF", data, size);
  writeFile(dir / "F.FPT", data, size);
  writeFile(dir / "F.DBT", data, size);
  pasarela::Table t;
  t.setTableName(pasarela::winpath::fromHost(dir / "F.DBF"));
  try {
    t.open();
    int rows = 0;
    for (t.first(); !t.eof() && rows < 1000; t.next(), ++rows) {
      for (int i = 0; i < t.fieldCount(); ++i) {
        const std::string name = t.fieldInfo(i).name;
        try {
          (void)t.asString(i);
          (void)t.isNull(name);
          (void)t.asFloat(name);
          (void)t.asInteger(name);
          (void)t.asDateTime(name);
        } catch (const pasarela::Error&) {
        }
      }
    }
    for (t.last(); !t.bof() && rows > 0; t.prior(), --rows) {
    }
  } catch (const pasarela::Error&) {
  }
  return 0;
}

// libFuzzer target for the .DBF reader: the input is written as a table (and
// as its memo files), opened, and every field of every record read as text
// and as numbers. Errors are fine; crashes and bad reads are not.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/error.h"
#include "data/table.h"
#include "data/winpath.h"

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

// An input may carry a production index after this line: the table, the
// marker, then the .MDX. Its tag COD is then walked as well.
constexpr char kIndexMarker[] = "\n--MDX--\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto dir = folder();
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t marker = input.find(kIndexMarker);
  std::error_code ec;
  std::filesystem::remove(dir / "F.MDX", ec);
  if (marker != std::string::npos) {
    const std::string mdx = input.substr(marker + sizeof kIndexMarker - 1);
    writeFile(dir / "F.MDX", reinterpret_cast<const std::uint8_t*>(mdx.data()), mdx.size());
    size = marker;
  }
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
    if (marker != std::string::npos) {
      // A walk in index order ends within as many steps as there are
      // records, whatever the index holds.
      t.setIndexName("COD");
      const std::uint32_t records = t.recordCount();
      std::uint32_t steps = 0;
      for (t.first(); !t.eof(); t.next())
        if (++steps > records) std::abort();
      steps = 0;
      for (t.last(); !t.bof(); t.prior())
        if (++steps > records) std::abort();
    }
  } catch (const pasarela::Error&) {
  }
  return 0;
}

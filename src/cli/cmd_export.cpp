// pasarela export [--source DIR] [--lang TEXT]: stages the school's tables
// from DIR as the window does at start-up, runs the export and reports the
// records written to each interchange table.
#include <cstdio>

#include "cli/command.h"
#include "cli/console_ui.h"
#include "data/folders.h"
#include "data/school_tables.h"
#include "data/staging.h"
#include "data/table.h"
#include "data/winpath.h"
#include "base/error.h"
#include "export/export_run.h"

namespace pasarela::cli {

namespace {

constexpr const char* kInterchangeTables[] = {"ASIGVALT.DBF", "ASIGNOMT.DBF", "PROFT.DBF",
                                              "AULAT.DBF",    "ALUMNOST.DBF", "ASIGCURT.DBF",
                                              "GRUPOST.DBF",  "CURSOST.DBF",  "ASIGT.DBF"};

std::uint32_t recordsIn(const std::string& tableName) {
  Table table;
  table.setDatabaseName(kInterchangeFolder);
  table.setTableName(tableName);
  table.open();
  const std::uint32_t count = table.recordCount();
  table.close();
  return count;
}

void exportUsage() { std::fputs("usage: pasarela export [--source DIR] [--lang TEXT]\n", stderr); }

}  // namespace

int exportCommand(const Args& args) {
  std::string source = kDefaultSourceFolder;
  std::string language = "VALENCIÁ";
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--source" && hasValue) {
      source = winpath::fromCommandLine(args[++i]);
    } else if (args[i] == "--lang" && hasValue) {
      language = args[++i];
    } else {
      exportUsage();
      return 2;
    }
  }

  ConsoleUserInterface ui;
  try {
    SchoolTables tables;
    CopiarDatosOrigen(tables, source);
    TransferContext ctx{tables, ui, source, "", language};
    BExportarClick(ctx);
    for (const char* name : kInterchangeTables)
      std::printf("%s\\%s: %u records\n", kInterchangeFolder, name, static_cast<unsigned>(recordsIn(name)));
  } catch (const Error& e) {
    ui.error(e.what());
    return 1;
  }
  return 0;
}

}  // namespace pasarela::cli

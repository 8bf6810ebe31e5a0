// `pasarela dump ARCHIVO [--format tabla|csv|json] [--index ETIQUETA] [--header]`:
// shows what a table holds, for people (table), scripts (csv, json) or its
// structure (--header).
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/report.h"
#include "data/table.h"
#include "data/winpath.h"
#include "dbase/codepage.h"
#include "dbase/dbf_table.h"
#include "base/error.h"

namespace pasarela::cli {
namespace {

// A value the JSON grammar takes as a number: -?(0|[1-9][0-9]*)(.[0-9]+)?
// Anything else in a numeric field (blanks, stars, "1.2.3") stays a string.
bool isJsonNumber(const std::string& v) {
  std::size_t i = 0;
  auto digits = [&] {
    const std::size_t from = i;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9') ++i;
    return i - from;
  };
  if (i < v.size() && v[i] == '-') ++i;
  const std::size_t start = i;
  const std::size_t whole = digits();
  if (whole == 0 || (whole > 1 && v[start] == '0')) return false;
  if (i < v.size() && v[i] == '.') {
    ++i;
    if (digits() == 0) return false;
  }
  return i == v.size();
}

// Characters of UTF-8 text (what a terminal shows, near enough).
std::size_t displayWidth(const std::string& s) {
  std::size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

bool isNumericType(char t) {
  return t == 'N' || t == 'F' || t == 'I' || t == 'B' || t == 'O' || t == 'Y' || t == '+';
}

std::string versionName(std::uint8_t v) {
  switch (v) {
    case 0x02:
      return "FoxBASE";
    case 0x03:
      return "dBase III/IV, sin memo";
    case 0x04:
      return "dBase 7";
    case 0x83:
      return "dBase III con memo (.DBT)";
    case 0x8B:
      return "dBase IV con memo (.DBT)";
    case 0x8C:
      return "dBase 7 con memo";
    case 0xF5:
      return "FoxPro 2.x con memo (.FPT)";
    case 0xFB:
      return "FoxBASE con memo";
    case 0x30:
    case 0x31:
    case 0x32:
      return "Visual FoxPro";
    default:
      return "otra";
  }
}

void printHeader(const std::string& windowsPath, std::ostream& out) {
  dbase::DbfTable db(winpath::resolve(windowsPath), windowsPath, false);
  const dbase::Header& h = db.header();
  char buf[64];
  out << "Archivo: " << windowsPath << "\n";
  std::snprintf(buf, sizeof buf, "0x%02X", h.version);
  out << "Versión: " << buf << " (" << versionName(h.version) << ")\n";
  std::snprintf(buf, sizeof buf, "0x%02X", h.ldid);
  out << "Página de códigos: " << dbase::CodePage::numberForLdid(h.ldid) << " (controlador de idioma " << buf
      << ")\n";
  out << "Índice de producción (.MDX): " << (h.productionIndex ? "sí" : "no") << "\n";
  // Some programs store the year's last two digits instead of year - 1900.
  const int year = h.year < 1980 ? h.year + 100 : h.year;
  out << "Fecha de actualización: " << year << "-" << (h.month < 10 ? "0" : "") << h.month << "-"
      << (h.day < 10 ? "0" : "") << h.day << "\n";
  out << "Registros: " << db.recordCount() << "\n";
  out << "Campos:\n";
  for (const dbase::Field& f : h.fields) {
    std::snprintf(buf, sizeof buf, "  %-11s %c %4d %3d", f.name.c_str(), f.type, f.length, f.decimals);
    out << buf << (f.system ? "  (sistema)" : "") << "\n";
  }
  if (db.tagCount() > 0) {
    out << "Índices:\n";
    for (int i = 0; i < db.tagCount(); ++i) {
      const dbase::Tag& t = db.tag(i);
      std::snprintf(buf, sizeof buf, "  %-11s %c %4d  ", t.layout.name.c_str(),
                    static_cast<char>(t.layout.type), t.layout.keyLength);
      out << buf << t.layout.expression << (t.layout.unique ? " (único)" : "")
          << (t.layout.descending ? " (descendente)" : "") << "  " << t.entries.size() << " claves\n";
    }
  } else if (h.productionIndex) {
    out << "Índices: no se encuentra el archivo .MDX\n";
  }
}

}  // namespace

const CommandSyntax& dumpSyntax() {
  static const CommandSyntax syntax{
      "dump",
      "ARCHIVO",
      true,
      "muestra el contenido o la estructura de una tabla dBase",
      {textOption("--format", "FORMATO", "tabla (por omisión), csv o json"),
       textOption("--index", "ETIQUETA", "recorre la tabla en el orden de esa etiqueta del .MDX"),
       flagOption("--header", "muestra la estructura: versión, página de códigos, campos e índices")},
      "ARCHIVO es una ruta de Windows (C:\\KTEMP\\AULAT.DBF) o una ruta del sistema.\n"
      "El formato csv separa con comas y termina las líneas con CR LF; json escribe\n"
      "una lista de objetos, con los números como números y el resto como textos.\n"};
  return syntax;
}

int dumpCommand(const Args& args) {
  const ParsedArgs parsed = parseArgs(dumpSyntax(), args);
  std::string format = parsed.text("--format", "tabla");
  if (format == "table") format = "tabla";  // the name of earlier versions
  if (format != "tabla" && format != "csv" && format != "json")
    throw UsageError("valor no válido para --format: '" + format + "' (tabla, csv o json)");
  const std::string windowsPath = winpath::fromCommandLine(parsed.operand());
  std::ostream& out = std::cout;
  if (parsed.has("--header")) {
    printHeader(windowsPath, out);
    return 0;
  }
  Table t;
  t.setTableName(windowsPath);
  t.setIndexName(parsed.text("--index"));
  t.open();
  std::vector<FieldInfo> fields;
  for (int i = 0; i < t.fieldCount(); ++i) fields.push_back(t.fieldInfo(i));
  std::vector<std::vector<std::string>> rows;
  for (t.first(); !t.eof(); t.next()) {
    std::vector<std::string> row;
    for (int i = 0; i < t.fieldCount(); ++i) row.push_back(t.asString(i));
    rows.push_back(std::move(row));
  }
  if (format == "csv") {
    for (std::size_t i = 0; i < fields.size(); ++i) out << (i ? "," : "") << csvField(fields[i].name);
    out << "\r\n";
    for (const auto& row : rows) {
      for (std::size_t i = 0; i < row.size(); ++i) out << (i ? "," : "") << csvField(row[i]);
      out << "\r\n";
    }
  } else if (format == "json") {
    out << "[";
    for (std::size_t r = 0; r < rows.size(); ++r) {
      out << (r ? ",\n " : "\n ") << "{";
      for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string& v = rows[r][i];
        out << (i ? ", " : "") << jsonString(fields[i].name) << ": ";
        if (v.empty())
          out << "null";
        else if (fields[i].type == 'L')
          out << (v == "T" ? "true" : "false");
        else if (isNumericType(fields[i].type) && isJsonNumber(v))
          out << v;
        else
          out << jsonString(v);
      }
      out << "}";
    }
    out << (rows.empty() ? "]\n" : "\n]\n");
  } else {
    // Long texts (memos) are cut so that rows stay on one line each.
    const std::size_t maxWidth = 60;
    for (auto& row : rows) {
      for (std::string& v : row) {
        for (char& c : v)
          if (c == '\n' || c == '\r' || c == '\t') c = ' ';
        if (displayWidth(v) > maxWidth) {
          std::size_t chars = 0, at = 0;
          while (at < v.size() && chars < maxWidth - 1) {
            ++at;
            while (at < v.size() && (static_cast<unsigned char>(v[at]) & 0xC0) == 0x80) ++at;
            ++chars;
          }
          v = v.substr(0, at) + "…";
        }
      }
    }
    std::vector<std::size_t> width;
    for (const FieldInfo& f : fields) width.push_back(displayWidth(f.name));
    for (const auto& row : rows)
      for (std::size_t i = 0; i < row.size(); ++i) width[i] = std::max(width[i], displayWidth(row[i]));
    auto cell = [&](const std::string& v, std::size_t i) {
      std::string pad(width[i] - displayWidth(v), ' ');
      return isNumericType(fields[i].type) ? pad + v : v + pad;
    };
    for (std::size_t i = 0; i < fields.size(); ++i) out << (i ? " │ " : "") << cell(fields[i].name, i);
    out << "\n";
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i) out << "─┼─";
      for (std::size_t k = 0; k < width[i]; ++k) out << "─";
    }
    out << "\n";
    for (const auto& row : rows) {
      for (std::size_t i = 0; i < row.size(); ++i) out << (i ? " │ " : "") << cell(row[i], i);
      out << "\n";
    }
    out << "(" << rows.size() << (rows.size() == 1 ? " registro" : " registros") << ")\n";
  }
  return 0;
}

}  // namespace pasarela::cli

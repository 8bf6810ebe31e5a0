// `pasarela dump FILE [--format table|csv|json] [--index TAG] [--header]`:
// shows what a table holds, for people (table), scripts (csv, json) or its
// structure (--header).
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "data/table.h"
#include "data/winpath.h"
#include "dbase/codepage.h"
#include "dbase/dbf_table.h"
#include "base/error.h"

namespace pasarela::cli {
namespace {

struct DumpOptions {
  std::string file;
  std::string format = "table";
  std::string index;
  bool header = false;
};

DumpOptions parseOptions(const Args& args) {
  DumpOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "--format" || a == "--index") && i + 1 < args.size()) {
      (a == "--format" ? o.format : o.index) = args[++i];
    } else if (a.rfind("--format=", 0) == 0) {
      o.format = a.substr(9);
    } else if (a.rfind("--index=", 0) == 0) {
      o.index = a.substr(8);
    } else if (a == "--header") {
      o.header = true;
    } else if (a.rfind("--", 0) == 0 || !o.file.empty()) {
      throw Error("dump: argumento no válido '" + a + "'");
    } else {
      o.file = a;
    }
  }
  if (o.file.empty()) throw Error("dump: falta el archivo");
  if (o.format != "table" && o.format != "csv" && o.format != "json") {
    throw Error("dump: formato desconocido '" + o.format + "' (table, csv o json)");
  }
  return o;
}

// Characters of UTF-8 text (what a terminal shows, near enough).
std::size_t displayWidth(const std::string& s) {
  std::size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

std::string csvField(const std::string& v) {
  if (v.find_first_of(",\"\r\n") == std::string::npos) return v;
  std::string out = "\"";
  for (char c : v) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string jsonString(const std::string& v) {
  std::string out = "\"";
  for (unsigned char c : v) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
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
      std::snprintf(buf, sizeof buf, "  %-11s %c %4d  ", t.layout.name.c_str(), static_cast<char>(t.layout.type),
                    t.layout.keyLength);
      out << buf << t.layout.expression << (t.layout.unique ? " (único)" : "")
          << (t.layout.descending ? " (descendente)" : "") << "  " << t.entries.size() << " claves\n";
    }
  } else if (h.productionIndex) {
    out << "Índices: no se encuentra el archivo .MDX\n";
  }
}

}  // namespace

int dumpCommand(const Args& args) {
  DumpOptions o = parseOptions(args);
  const std::string windowsPath = winpath::fromCommandLine(o.file);
  std::ostream& out = std::cout;
  if (o.header) {
    printHeader(windowsPath, out);
    return 0;
  }
  Table t;
  t.setTableName(windowsPath);
  t.setIndexName(o.index);
  t.open();
  std::vector<FieldInfo> fields;
  for (int i = 0; i < t.fieldCount(); ++i) fields.push_back(t.fieldInfo(i));
  std::vector<std::vector<std::string>> rows;
  for (t.first(); !t.eof(); t.next()) {
    std::vector<std::string> row;
    for (int i = 0; i < t.fieldCount(); ++i) row.push_back(t.asString(i));
    rows.push_back(std::move(row));
  }
  if (o.format == "csv") {
    for (std::size_t i = 0; i < fields.size(); ++i) out << (i ? "," : "") << csvField(fields[i].name);
    out << "\r\n";
    for (const auto& row : rows) {
      for (std::size_t i = 0; i < row.size(); ++i) out << (i ? "," : "") << csvField(row[i]);
      out << "\r\n";
    }
  } else if (o.format == "json") {
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
        else if (isNumericType(fields[i].type) && v.find_first_not_of("-0123456789.") == std::string::npos)
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

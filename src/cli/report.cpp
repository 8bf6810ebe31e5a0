#include "cli/report.h"

#include <cstdio>

namespace pasarela::cli {

ReportFormat reportFormat(const std::string& name) {
  if (name == "csv") return ReportFormat::Csv;
  if (name == "json") return ReportFormat::Json;
  return ReportFormat::Text;
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
        if (c < 0x20 || c == 0x7F) {
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

std::string Report::csv() const {
  std::string out = csvField(keyTitle_) + "," + csvField(valueTitle_) + "\r\n";
  for (const Item& item : items_) {
    if (auto* n = std::get_if<long long>(&item.value)) {
      out += csvField(item.key) + "," + std::to_string(*n) + "\r\n";
    } else if (auto* t = std::get_if<std::string>(&item.value)) {
      out += csvField(item.key) + "," + csvField(*t) + "\r\n";
    } else {
      for (const std::string& v : std::get<std::vector<std::string>>(item.value))
        out += csvField(item.key) + "," + csvField(v) + "\r\n";
    }
  }
  return out;
}

std::string Report::json() const {
  std::string out = "{";
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const Item& item = items_[i];
    out += (i ? ",\n  " : "\n  ") + jsonString(item.key) + ": ";
    if (auto* n = std::get_if<long long>(&item.value)) {
      out += std::to_string(*n);
    } else if (auto* t = std::get_if<std::string>(&item.value)) {
      out += jsonString(*t);
    } else {
      out += "[";
      const auto& list = std::get<std::vector<std::string>>(item.value);
      for (std::size_t k = 0; k < list.size(); ++k) out += (k ? ", " : "") + jsonString(list[k]);
      out += "]";
    }
  }
  return out + (items_.empty() ? "}\n" : "\n}\n");
}

}  // namespace pasarela::cli

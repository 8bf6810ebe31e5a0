// A run's report for scripts: ordered keys with a number, a text or a list
// of texts, printed as CSV (one key and value a line, a list one line per
// item) or as one JSON object. The words of the keys are stable.
#pragma once

#include <string>
#include <variant>
#include <vector>

namespace pasarela::cli {

enum class ReportFormat { Text, Csv, Json };

// The value of a --format option ("texto", "csv" or "json").
ReportFormat reportFormat(const std::string& name);

class Report {
 public:
  Report(std::string keyTitle, std::string valueTitle)
      : keyTitle_(std::move(keyTitle)), valueTitle_(std::move(valueTitle)) {}

  void add(const std::string& key, long long number) { items_.push_back({key, number}); }
  void add(const std::string& key, const std::string& text) { items_.push_back({key, text}); }
  void add(const std::string& key, const std::vector<std::string>& list) { items_.push_back({key, list}); }

  std::string csv() const;
  std::string json() const;

 private:
  struct Item {
    std::string key;
    std::variant<long long, std::string, std::vector<std::string>> value;
  };
  std::string keyTitle_, valueTitle_;
  std::vector<Item> items_;
};

// Quoting of one CSV field (RFC 4180) and of one JSON string.
std::string csvField(const std::string& value);
std::string jsonString(const std::string& value);

}  // namespace pasarela::cli

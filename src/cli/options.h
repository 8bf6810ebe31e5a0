// The command line's grammar: each command describes its operands and
// options once, and the same description parses the words, checks the
// values and prints the usage. Every message is Spanish.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace pasarela::cli {

using Args = std::vector<std::string>;

struct OptionSyntax {
  enum class Kind { Flag, Text, Number, Choice };
  std::string name;  // "--seed"
  Kind kind = Kind::Flag;
  std::string valueName;  // "N", shown in the usage
  std::string help;
  long long min = 0, max = 0;        // Number: accepted range, both ends included
  std::vector<std::string> choices;  // Choice: accepted values, named in the message
};

// The four kinds, spelled as the commands declare them.
inline OptionSyntax flagOption(std::string name, std::string help) {
  return {std::move(name), OptionSyntax::Kind::Flag, "", std::move(help), 0, 0, {}};
}
inline OptionSyntax textOption(std::string name, std::string valueName, std::string help) {
  return {std::move(name), OptionSyntax::Kind::Text, std::move(valueName), std::move(help), 0, 0, {}};
}
inline OptionSyntax numberOption(std::string name, std::string help, long long min, long long max) {
  return {std::move(name), OptionSyntax::Kind::Number, "N", std::move(help), min, max, {}};
}
inline OptionSyntax choiceOption(std::string name, std::string valueName, std::string help,
                               std::vector<std::string> choices) {
  return {std::move(name),   OptionSyntax::Kind::Choice, std::move(valueName), std::move(help), 0, 0,
          std::move(choices)};
}
// --format of the commands that print a report.
inline OptionSyntax reportFormatOption() {
  return choiceOption("--format", "FORMATO", "formato del informe: texto (por omisión), csv o json",
                      {"texto", "csv", "json"});
}

struct CommandSyntax {
  std::string name;
  std::string operand;  // "ARCHIVO", or empty when the command takes none
  bool operandRequired = false;
  std::string summary;  // one line for the general usage
  std::vector<OptionSyntax> options;
  std::string details;  // paragraphs after the options
};

// A mistake on the command line (exit code 2).
class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

class ParsedArgs {
 public:
  bool has(const std::string& option) const { return values_.count(option) != 0; }
  std::string text(const std::string& option, const std::string& fallback = "") const;
  long long number(const std::string& option, long long fallback) const;
  const std::string& operand() const { return operand_; }

 private:
  friend ParsedArgs parseArgs(const CommandSyntax&, const Args&);
  std::map<std::string, std::string> values_;
  std::string operand_;
};

// "--name VALUE", "--name=VALUE", flags, one operand, "--" ending the
// options. Throws UsageError.
ParsedArgs parseArgs(const CommandSyntax& syntax, const Args& args);

// True when the words ask for help ("--help" or "-h" before any "--").
bool asksForHelp(const Args& args);

// The usage of one command, as `pasarela COMMAND --help` prints it.
std::string commandUsage(const CommandSyntax& syntax);

}  // namespace pasarela::cli

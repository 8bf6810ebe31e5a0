#include "cli/options.h"

#include <cerrno>
#include <cstdlib>

namespace pasarela::cli {
namespace {

const OptionSyntax* findOption(const CommandSyntax& syntax, const std::string& name) {
  for (const OptionSyntax& o : syntax.options)
    if (o.name == name) return &o;
  return nullptr;
}

long long parseNumber(const OptionSyntax& o, const std::string& text) {
  const std::string range = std::to_string(o.min) + " y " + std::to_string(o.max);
  const std::string bad =
      "valor no válido para " + o.name + ": '" + text + "' (debe ser un número entero entre " + range + ")";
  if (text.empty() || text.find_first_not_of("+-0123456789") != std::string::npos) throw UsageError(bad);
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || v < o.min || v > o.max) throw UsageError(bad);
  return v;
}

// Choices are compared without regard to ASCII case.
std::string matchChoice(const OptionSyntax& o, const std::string& text) {
  auto lower = [](std::string s) {
    for (char& c : s)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
  };
  for (const std::string& c : o.choices)
    if (lower(c) == lower(text)) return c;
  std::string list;
  for (std::size_t i = 0; i < o.choices.size(); ++i)
    list += (i == 0 ? "" : i + 1 == o.choices.size() ? " o " : ", ") + o.choices[i];
  throw UsageError("valor no válido para " + o.name + ": '" + text + "' (" + list + ")");
}

}  // namespace

std::string ParsedArgs::text(const std::string& option, const std::string& fallback) const {
  auto it = values_.find(option);
  return it == values_.end() ? fallback : it->second;
}

long long ParsedArgs::number(const std::string& option, long long fallback) const {
  auto it = values_.find(option);
  return it == values_.end() ? fallback : std::strtoll(it->second.c_str(), nullptr, 10);
}

ParsedArgs parseArgs(const CommandSyntax& syntax, const Args& args) {
  ParsedArgs parsed;
  bool optionsEnded = false;
  bool haveOperand = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (!optionsEnded && word == "--") {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || word.size() < 2 || word[0] != '-') {
      if (syntax.operand.empty()) throw UsageError("sobra el argumento '" + word + "'");
      if (haveOperand)
        throw UsageError("sobra el argumento '" + word + "' (solo se admite un " + syntax.operand + ")");
      parsed.operand_ = word;
      haveOperand = true;
      continue;
    }
    const std::size_t eq = word.find('=');
    const std::string name = word.substr(0, eq);
    const OptionSyntax* o = findOption(syntax, name);
    if (!o) throw UsageError("opción desconocida '" + name + "'");
    if (o->kind == OptionSyntax::Kind::Flag) {
      if (eq != std::string::npos) throw UsageError("la opción " + name + " no admite valor");
      parsed.values_[name] = "";
      continue;
    }
    std::string value;
    if (eq != std::string::npos) {
      value = word.substr(eq + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      throw UsageError("falta el valor de " + name + " (" + o->valueName + ")");
    }
    if (o->kind == OptionSyntax::Kind::Number) value = std::to_string(parseNumber(*o, value));
    if (o->kind == OptionSyntax::Kind::Choice) value = matchChoice(*o, value);
    parsed.values_[name] = value;
  }
  if (syntax.operandRequired && !haveOperand) throw UsageError("falta el argumento " + syntax.operand);
  return parsed;
}

bool asksForHelp(const Args& args) {
  for (const std::string& a : args) {
    if (a == "--") return false;
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

std::string commandUsage(const CommandSyntax& syntax) {
  std::string out = "Uso: pasarela " + syntax.name;
  if (!syntax.operand.empty()) out += syntax.operandRequired ? " " + syntax.operand : " [" + syntax.operand + "]";
  if (!syntax.options.empty()) out += " [OPCIONES]";
  out += "\n\n" + syntax.summary + "\n";
  if (!syntax.options.empty()) out += "\nOpciones:\n";
  for (const OptionSyntax& o : syntax.options) {
    std::string left = "  " + o.name + (o.valueName.empty() ? "" : " " + o.valueName);
    if (left.size() < 24)
      left.resize(24, ' ');
    else
      left += "\n" + std::string(24, ' ');
    out += left + o.help + "\n";
  }
  out += "  -h, --help            muestra esta ayuda\n";
  if (!syntax.details.empty()) out += "\n" + syntax.details;
  return out;
}

}  // namespace pasarela::cli

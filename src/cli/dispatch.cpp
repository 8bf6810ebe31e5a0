#include "cli/dispatch.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

#include "cli/command.h"
#include "cli/console_ui.h"
#include "cli/version.h"
#include "base/error.h"
#include "base/os/host_path.h"
#include "base/os/io_code.h"

namespace pasarela::cli {
namespace {

struct Entry {
  const CommandSyntax& (*syntax)();
  int (*run)(const Args&);
};

constexpr Entry kCommands[] = {
    {sampleSyntax, sampleCommand}, {exportSyntax, exportCommand}, {solveSyntax, solveCommand},
    {importSyntax, importCommand}, {dumpSyntax, dumpCommand},
};

std::string generalUsage() {
  std::string out =
      "Uso: pasarela ORDEN [OPCIONES]\n"
      "     pasarela --help | --version\n"
      "\n"
      "Traspasa los datos del centro entre las tablas de ORBENTA y las tablas de\n"
      "intercambio de Tempolis, sin ventanas.\n"
      "\n"
      "Órdenes:\n";
  for (const Entry& e : kCommands) {
    std::string name = "  " + e.syntax().name;
    name.resize(12, ' ');
    out += name + e.syntax().summary + "\n";
  }
  out +=
      "\n"
      "Opciones:\n"
      "  -h, --help  muestra esta ayuda (con ORDEN, la de esa orden)\n"
      "  --version   muestra la versión\n"
      "\n"
      "Estado de salida: 0 si todo fue bien, 1 si el proceso falló (el motivo se\n"
      "escribe en la salida de errores), 2 si la orden está mal escrita.\n"
      "\n"
      "Más información en el manual: man pasarela\n";
  return out;
}

int usageError(const std::string& command, const std::string& message) {
  const std::string prefix = command.empty() ? "pasarela: " : "pasarela " + command + ": ";
  const std::string hint = command.empty() ? "pasarela --help" : "pasarela " + command + " --help";
  std::fprintf(stderr, "%s%s\nPruebe '%s'.\n", prefix.c_str(), message.c_str(), hint.c_str());
  return kExitUsage;
}

int failure(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  return kExitFailure;
}

}  // namespace

int run(const Args& args) {
  if (args.empty()) return usageError("", "falta la orden");
  const std::string& first = args[0];
  if (first == "--help" || first == "-h") {
    std::fputs(generalUsage().c_str(), stdout);
    return kExitSuccess;
  }
  if (first == "--version") {
    std::printf("pasarela %s\n", kVersion);
    return kExitSuccess;
  }
  const Entry* command = nullptr;
  for (const Entry& e : kCommands)
    if (e.syntax().name == first) command = &e;
  if (!command) {
    if (first.size() > 1 && first[0] == '-') return usageError("", "opción desconocida '" + first + "'");
    return usageError("", "orden desconocida '" + first + "'");
  }

  const Args rest(args.begin() + 1, args.end());
  if (asksForHelp(rest)) {
    std::fputs(commandUsage(command->syntax()).c_str(), stdout);
    return kExitSuccess;
  }
  try {
    return command->run(rest);
  } catch (const UsageError& e) {
    return usageError(first, e.what());
  } catch (const Error& e) {
    return failure(ConsoleUserInterface::consoleText(errorBoxText(e.what())));
  } catch (const std::filesystem::filesystem_error& e) {
    std::string where;
    if (!e.path1().empty()) where = " (" + os::utf8(e.path1()) + ")";
    return failure(os::ioErrorMessage(os::ioCodeFromSystemError(e.code(), os::IoOperation::Open)) + where);
  } catch (const std::system_error& e) {
    return failure(os::ioErrorMessage(os::ioCodeFromSystemError(e.code(), os::IoOperation::Open)));
  } catch (const std::bad_alloc&) {
    return failure("No hay memoria suficiente");
  } catch (const std::exception& e) {
    return failure(std::string("Error interno: ") + e.what());
  }
}

}  // namespace pasarela::cli

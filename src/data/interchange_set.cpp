#include "data/interchange_set.h"

#include <fstream>
#include <iterator>

#include "data/winpath.h"
#include "base/error.h"

namespace pasarela {

namespace {

const char* const kIncompleto = "EXPORTACION INCOMPLETA";
const char* const kCompleto = "EXPORTACION COMPLETA";

void writeMark(const char* text) {
  const auto path = winpath::resolve(kMarcaIntercambio);
  const auto temporary = path.parent_path() / (path.filename().string() + ".nuevo");
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text << "\r\n";
    out.flush();
    if (!out) throw Error(std::string("No se puede escribir el archivo '") + kMarcaIntercambio + "'");
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) throw Error(std::string("No se puede escribir el archivo '") + kMarcaIntercambio + "'");
}

}  // namespace

void marcarIntercambioIncompleto() { writeMark(kIncompleto); }

void marcarIntercambioCompleto() { writeMark(kCompleto); }

bool intercambioIncompleto() {
  if (!winpath::fileExists(kMarcaIntercambio)) return false;
  std::ifstream in(winpath::resolve(kMarcaIntercambio), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return text.rfind(kCompleto, 0) != 0;
}

}  // namespace pasarela

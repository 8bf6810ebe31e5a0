// ComprobarCarpetaOrigen: the staging folder is never a source folder.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

#include "base/error.h"
#include "data/folders.h"
#include "data/staging.h"
#include "data/winpath.h"

namespace pasarela {

void ComprobarCarpetaOrigen(const std::string& sourceFolder) {
  namespace fs = std::filesystem;
  fs::path source = winpath::resolve(sourceFolder);
  fs::path staging = winpath::resolve(kStagingFolder);
  std::error_code ec1, ec2;
  bool same = fs::equivalent(source, staging, ec1);
  if (!same) {
    auto lower = [](std::string s) {
      std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
      return s;
    };
    auto a = fs::weakly_canonical(source, ec1), b = fs::weakly_canonical(staging, ec2);
    same = !ec1 && !ec2 && lower(a.lexically_normal().string()) == lower(b.lexically_normal().string());
  }
  if (same) {
    throw Error("La carpeta de origen " + sourceFolder + " es la carpeta de trabajo " + kStagingFolder +
                " de PasarelaHoraria, no la de los datos de ORBENTA: elija la carpeta de datos de ORBENTA. "
                "No se ha modificado ningún archivo");
  }
}

}  // namespace pasarela

#include "data/transfer_lock.h"

#include "base/error.h"
#include "base/os/io_code.h"
#include "data/winpath.h"

namespace pasarela {

TransferLock::TransferLock(const std::string& folder) {
  const std::string path = winpath::join(folder, "PASARELA.BLQ");
  const os::Status s = os::File::open(winpath::resolve(path), os::Access::ReadWrite, os::Create::OrCreate,
                                      os::Share::Exclusive, file_);
  if (s.code == os::kErrorSharingViolation) {
    throw Error("Hay otra transferencia de PasarelaHoraria en curso sobre la carpeta " + folder +
                ": espere a que termine y vuelva a intentarlo. No se ha modificado ningún archivo");
  }
  if (!s.ok()) {
    throw IoError(s.code,
                  os::ioErrorMessage(s.code) + ": '" + path +
                      "' (no se puede reservar la carpeta para la transferencia). No se ha modificado "
                      "ningún archivo");
  }
}

}  // namespace pasarela

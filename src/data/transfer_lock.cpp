#include "data/transfer_lock.h"

#include <map>
#include <mutex>

#include "base/error.h"
#include "base/os/host_path.h"
#include "base/os/io_code.h"
#include "base/text.h"
#include "data/winpath.h"

namespace pasarela {

namespace {

// The locks this process holds, by the lock file's place on the disk.
std::map<std::string, std::weak_ptr<os::File>>& heldLocks() {
  static std::map<std::string, std::weak_ptr<os::File>> held;
  return held;
}
std::mutex heldMutex;

}  // namespace

TransferLock::TransferLock(const std::string& folder) {
  const std::string path = winpath::join(folder, "PASARELA.BLQ");
  const auto host = winpath::resolve(path);
  std::lock_guard<std::mutex> guard(heldMutex);
  // Folders are named without regard to case, as Windows names them.
  std::weak_ptr<os::File>& held = heldLocks()[text::lowerAscii(os::utf8(host.lexically_normal()))];
  if ((file_ = held.lock())) return;
  auto file = std::make_shared<os::File>();
  const os::Status s =
      os::File::open(host, os::Access::ReadWrite, os::Create::OrCreate, os::Share::Exclusive, *file);
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
  held = file;
  file_ = std::move(file);
}

}  // namespace pasarela

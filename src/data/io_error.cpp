#include "data/io_error.h"

#include <cerrno>

namespace pasarela {

std::string ioErrorMessage(int code) {
  switch (code) {
    case 2:
      return "No se encuentra el archivo";
    case 3:
      return "Nombre de archivo inválido";
    case 4:
      return "Demasiados archivos abiertos";
    case 5:
      return "Acceso al archivo denegado";
    case 100:
      return "Se intenta leer después del fin del archivo";
    case 101:
      return "Disco lleno";
    case 106:
      return "Valor numérico de entrada inválido";
    default:
      return "Error de E/S " + std::to_string(code);
  }
}

IoError makeIoError(int code) { return IoError(code, ioErrorMessage(code)); }

IoError ioErrorOn(int code, const std::string& windowsPath) {
  std::string cause;
  switch (code) {
    case kErrorSharingViolation:
      cause = " (el archivo está en uso por otro programa)";
      break;
    case kErrorReadFault:
      cause = " (error de lectura del disco)";
      break;
    case kErrorWriteFault:
      cause = " (error de escritura en el disco)";
      break;
    case kErrorGenFailure:
      cause = " (el dispositivo no responde)";
      break;
    default:
      break;
  }
  return IoError(code, ioErrorMessage(code) + ": '" + windowsPath + "'" + cause);
}

int windowsErrorFromErrno(int err, IoOperation op, bool parentExists) {
  switch (err) {
    case ENOENT:
      return parentExists ? kErrorFileNotFound : kErrorPathNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return kErrorAccessDenied;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kErrorDiskFull;
    case EAGAIN:
    case EBUSY:
    case ETXTBSY:
      return kErrorSharingViolation;
    case EIO:
      return op == IoOperation::Read ? kErrorReadFault : kErrorWriteFault;
    default:
      return kErrorGenFailure;
  }
}

}  // namespace pasarela

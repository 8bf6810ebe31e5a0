#include "base/os/io_code.h"

#include <cerrno>

namespace pasarela::os {

std::string ioErrorMessage(int code) {
  switch (code) {
    case kErrorFileNotFound:
      return "No se encuentra el archivo";
    case kErrorPathNotFound:
      return "Nombre de archivo inválido";
    case kErrorTooManyOpenFiles:
      return "Demasiados archivos abiertos";
    case kErrorAccessDenied:
      return "Acceso al archivo denegado";
    case kErrorReadPastEnd:
      return "Se intenta leer después del fin del archivo";
    case kErrorDiskFull:
      return "Disco lleno";
    case kErrorInvalidNumber:
      return "Valor numérico de entrada inválido";
    default:
      return "Error de E/S " + std::to_string(code);
  }
}

IoError makeIoError(int code) { return IoError(code, ioErrorMessage(code)); }

namespace {
int hardwareFault(IoOperation op) { return op == IoOperation::Read ? kErrorReadFault : kErrorWriteFault; }
}  // namespace

int ioCodeFromWindowsError(unsigned long error, IoOperation op) {
  switch (error) {
    case 2:   // ERROR_FILE_NOT_FOUND
    case 3:   // ERROR_PATH_NOT_FOUND
    case 4:   // ERROR_TOO_MANY_OPEN_FILES
    case 5:   // ERROR_ACCESS_DENIED
    case 29:  // ERROR_WRITE_FAULT
    case 30:  // ERROR_READ_FAULT
    case 31:  // ERROR_GEN_FAILURE
    case 32:  // ERROR_SHARING_VIOLATION
      return static_cast<int>(error);
    case 19:  // ERROR_WRITE_PROTECT: a read-only medium
      return kErrorAccessDenied;
    case 33:  // ERROR_LOCK_VIOLATION: part of the file locked by another program
      return kErrorSharingViolation;
    case 39:    // ERROR_HANDLE_DISK_FULL
    case 112:   // ERROR_DISK_FULL
    case 1295:  // ERROR_DISK_QUOTA_EXCEEDED
      return kErrorDiskFull;
    case 38:  // ERROR_HANDLE_EOF
      return kErrorReadPastEnd;
    case 123:  // ERROR_INVALID_NAME
    case 161:  // ERROR_BAD_PATHNAME
    case 206:  // ERROR_FILENAME_EXCED_RANGE
    case 267:  // ERROR_DIRECTORY
      return kErrorPathNotFound;
    case 23:    // ERROR_CRC
    case 1117:  // ERROR_IO_DEVICE
      return hardwareFault(op);
    default:
      // Already a Windows code: shown as "Error de E/S n", as Windows would.
      return error > 0 && error < 0x10000 ? static_cast<int>(error) : kErrorGenFailure;
  }
}

int ioCodeFromErrno(int err, IoOperation op) {
  switch (err) {
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
#ifdef ELOOP
    case ELOOP:
#endif
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
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return kErrorDiskFull;
    case EAGAIN:
#if defined(EWOULDBLOCK) && EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case EBUSY:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
    case EDEADLK:
      return kErrorSharingViolation;
    case EIO:
      // Never 5: a failing medium is no refused access.
      return hardwareFault(op);
    case EEXIST:
      return kErrorFileExists;
    default:
      return kErrorGenFailure;
  }
}

}  // namespace pasarela::os

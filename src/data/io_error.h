// The I/O errors of the file copy: operating-system failures turned into the
// Windows error codes the messages are keyed on.
#pragma once

#include <string>

#include "dbase/error.h"

namespace pasarela {

// Windows error codes the copy reports.
inline constexpr int kErrorFileNotFound = 2;
inline constexpr int kErrorPathNotFound = 3;
inline constexpr int kErrorTooManyOpenFiles = 4;
inline constexpr int kErrorAccessDenied = 5;
inline constexpr int kErrorWriteFault = 29;
inline constexpr int kErrorReadFault = 30;
inline constexpr int kErrorGenFailure = 31;
inline constexpr int kErrorSharingViolation = 32;
inline constexpr int kErrorDiskFull = 101;

// "No se encuentra el archivo" for 2, ..., "Error de E/S %d" for any code
// without a message of its own.
std::string ioErrorMessage(int code);

IoError makeIoError(int code);

// The same, naming the file (a Windows path) and, where the code alone does
// not say it, the cause: "Error de E/S 32: 'C:\OB\aulas.dbf' (el archivo
// está en uso por otro programa)". The message of the code stays first.
IoError ioErrorOn(int code, const std::string& windowsPath);

enum class IoOperation { Open, Create, Read, Write, Close };

// The Windows code for a POSIX errno. A missing file (ENOENT) is 2 when its
// folder exists and 3 when a folder of the path is missing, so the caller
// says whether the parent folder exists.
int windowsErrorFromErrno(int err, IoOperation op, bool parentExists);

}  // namespace pasarela

// The system's I/O codes: Windows-style numbers (2 file not found, 5 access
// denied, 32 in use, 101 disk full...) on every host, and their messages.
// The one table from the host's error numbers to these codes lives here and
// in the two implementations of the OS layer.
#pragma once

#include <string>
#include <system_error>

#include "base/error.h"

namespace pasarela::os {

inline constexpr int kErrorFileNotFound = 2;
inline constexpr int kErrorPathNotFound = 3;
inline constexpr int kErrorTooManyOpenFiles = 4;
inline constexpr int kErrorAccessDenied = 5;
inline constexpr int kErrorWriteFault = 29;
inline constexpr int kErrorReadFault = 30;
inline constexpr int kErrorGenFailure = 31;
inline constexpr int kErrorSharingViolation = 32;
inline constexpr int kErrorReadPastEnd = 100;
inline constexpr int kErrorFileExists = 80;
inline constexpr int kErrorDiskFull = 101;
inline constexpr int kErrorInvalidNumber = 106;

// What a failed call was doing: a hardware fault is a read or a write fault.
enum class IoOperation { Open, Create, Read, Write, Close };

// "No se encuentra el archivo" for 2, ..., "Error de E/S %d" for a code
// without a message of its own.
std::string ioErrorMessage(int code);

IoError makeIoError(int code);

// The system's code for a Win32 error number (GetLastError()). Pure, so that
// every host can check the table.
int ioCodeFromWindowsError(unsigned long error, IoOperation op);

// The system's code for a POSIX errno; on a host without POSIX I/O calls
// (Windows) only the C library's numbers are known.
int ioCodeFromErrno(int err, IoOperation op);

// The system's code for an error std::filesystem reported (errno values on
// POSIX hosts, Win32 error numbers on Windows).
int ioCodeFromSystemError(const std::error_code& error, IoOperation op);

}  // namespace pasarela::os

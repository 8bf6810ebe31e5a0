// The one table from the hosts' error numbers to the system's I/O codes.
#include "base/os/io_code.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace pasarela::os {
namespace {

TEST(IoErrorMessages, FollowTheSystemsTable) {
  EXPECT_EQ(ioErrorMessage(2), "No se encuentra el archivo");
  EXPECT_EQ(ioErrorMessage(3), "Nombre de archivo inválido");
  EXPECT_EQ(ioErrorMessage(4), "Demasiados archivos abiertos");
  EXPECT_EQ(ioErrorMessage(5), "Acceso al archivo denegado");
  EXPECT_EQ(ioErrorMessage(100), "Se intenta leer después del fin del archivo");
  EXPECT_EQ(ioErrorMessage(101), "Disco lleno");
  EXPECT_EQ(ioErrorMessage(106), "Valor numérico de entrada inválido");
  EXPECT_EQ(ioErrorMessage(32), "Error de E/S 32");
  EXPECT_EQ(ioErrorMessage(0), "Error de E/S 0");
  IoError e = makeIoError(5);
  EXPECT_EQ(e.code(), 5);
  EXPECT_STREQ(e.what(), "Acceso al archivo denegado");
}

// One error of each family gives the same code from both hosts' numbers.
struct Family {
  const char* name;
  int code;
  std::vector<int> errnos;
  std::vector<unsigned long> windowsErrors;
};

TEST(IoErrorCodes, EachFamilyMapsAlikeOnBothHosts) {
  std::vector<Family> families = {
      {"missing file", 2, {ENOENT}, {2}},
      {"bad path", 3, {ENOTDIR, ENAMETOOLONG}, {3, 123, 161, 206, 267}},
      {"too many files", 4, {EMFILE, ENFILE}, {4}},
      {"access denied", 5, {EACCES, EPERM, EROFS, EISDIR}, {5, 19}},
      {"in use", 32, {EAGAIN, EBUSY}, {32, 33}},
      {"disk full", 101, {ENOSPC, EFBIG}, {39, 112, 1295}},
  };
  // Numbers not every C library has.
#ifdef ELOOP
  families[1].errnos.push_back(ELOOP);
#endif
#ifdef ETXTBSY
  families[4].errnos.push_back(ETXTBSY);
#endif
#ifdef EDQUOT
  families[5].errnos.push_back(EDQUOT);
#endif
  for (const Family& f : families) {
    SCOPED_TRACE(f.name);
    for (int e : f.errnos) EXPECT_EQ(ioCodeFromErrno(e, IoOperation::Write), f.code) << "errno " << e;
    for (unsigned long w : f.windowsErrors)
      EXPECT_EQ(ioCodeFromWindowsError(w, IoOperation::Write), f.code) << "Win32 error " << w;
  }
}

TEST(IoErrorCodes, AFailingMediumIsAReadOrWriteFaultNeverAccessDenied) {
  EXPECT_EQ(ioCodeFromErrno(EIO, IoOperation::Read), 30);
  EXPECT_EQ(ioCodeFromErrno(EIO, IoOperation::Write), 29);
  EXPECT_EQ(ioCodeFromErrno(EIO, IoOperation::Close), 29);
  EXPECT_EQ(ioCodeFromWindowsError(1117, IoOperation::Read), 30);  // ERROR_IO_DEVICE
  EXPECT_EQ(ioCodeFromWindowsError(23, IoOperation::Write), 29);   // ERROR_CRC
}

TEST(IoErrorCodes, UnknownErrorsStayOutOfTheMessageTable) {
  // An errno has no meaning among Windows codes: the general failure.
  for (int e : {EXDEV, EDOM, ERANGE}) EXPECT_EQ(ioCodeFromErrno(e, IoOperation::Read), 31);
  // A Windows code without a mapping is shown as itself, as Windows would.
  EXPECT_EQ(ioCodeFromWindowsError(1392, IoOperation::Read), 1392);  // ERROR_FILE_CORRUPT
  EXPECT_EQ(ioCodeFromWindowsError(0x80070005ul, IoOperation::Read), 31);
}

}  // namespace
}  // namespace pasarela::os

#include "data/interchange_set.h"

#include <cstdint>
#include <string>

#include "base/error.h"
#include "base/os/file.h"
#include "base/os/file_system.h"
#include "base/os/io_code.h"
#include "data/winpath.h"

namespace pasarela {

namespace {

const char* const kIncompleteText = "EXPORTACION INCOMPLETA";
const char* const kCompleteText = "EXPORTACION COMPLETA";

// A mark that says more than this is none of ours: its first bytes decide.
constexpr std::size_t kMarkRead = 64;

[[noreturn]] void failMark(int code, const char* doing) {
  throw IoError(code, os::ioErrorMessage(code) + ": " + kInterchangeMark + " (no se puede " + doing +
                          " la marca de las tablas de intercambio)");
}

// Written under a scratch name and renamed over the old mark, durably, so
// that a crash leaves one mark or the other, never half of one.
void writeMark(const char* text) {
  const std::string line = std::string(text) + "\r\n";
  if (os::Status s = os::writeReplacing(winpath::resolve(kInterchangeMark), {line}); !s.ok())
    failMark(s.code, "escribir");
}

}  // namespace

void markInterchangeIncomplete() { writeMark(kIncompleteText); }

void markInterchangeComplete() { writeMark(kCompleteText); }

bool interchangeIncomplete() {
  if (!winpath::fileExists(kInterchangeMark)) return false;
  os::File in;
  if (os::Status s = os::File::open(winpath::resolve(kInterchangeMark), os::Access::Read,
                                    os::Create::Existing, os::Share::Unlocked, in);
      !s.ok())
    failMark(s.code, "leer");
  std::string text(kMarkRead, '\0');
  std::size_t done = 0;
  if (os::Status s = in.readAt(0, text.data(), text.size(), done); !s.ok()) failMark(s.code, "leer");
  text.resize(done);
  return text.rfind(kCompleteText, 0) != 0;
}

}  // namespace pasarela

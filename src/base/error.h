// The one error type of the program: it carries the message shown to the
// user (in the system's own words, Spanish, naming the file where there is
// one). The event loop's boundary shows it in the error message box; the CLI
// prints it.
#pragma once

#include <stdexcept>
#include <string>

namespace pasarela {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// An operating-system I/O failure: its message comes from the code
// ("Acceso al archivo denegado" for 5, "Error de E/S 32" for 32).
class IoError : public Error {
 public:
  IoError(int code, const std::string& message) : Error(message), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

}  // namespace pasarela

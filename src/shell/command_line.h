// The command line as the host passes it: the direction and the host
// window's handle in hexadecimal.
#pragma once

#include <cstdint>
#include <string>

namespace pasarela::shell {

// Lower-cases the ASCII letters A to Z only; nothing is trimmed.
std::string lowerAsciiLetters(const std::string& text);

// The handle text read as "$" + text: hexadecimal digits only (either case,
// leading zeros allowed), value at most FFFFFFFF. Anything else throws
// pasarela::Error "'$<text>' no es un valor entero válido".
std::uint32_t parseHostHandle(const std::string& text);

}  // namespace pasarela::shell

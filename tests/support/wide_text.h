// UTF-8 <-> UTF-16 for the Windows side of the test support.
#pragma once

#include <string>

namespace pasarela::test {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);

}  // namespace pasarela::test

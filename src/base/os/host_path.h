// Host paths from UTF-8 text and back. The program keeps every path as UTF-8
// text; Windows takes UTF-16 paths, and a std::filesystem::path built from a
// plain std::string there would read the bytes in the ANSI code page. Every
// path made from text goes through hostPath().
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pasarela::os {

std::filesystem::path hostPath(std::string_view utf8);
std::string utf8(const std::filesystem::path& path);
// utf8(path.filename()), utf8(path.stem())...: the common pieces.
std::string fileNameUtf8(const std::filesystem::path& path);
std::string stemUtf8(const std::filesystem::path& path);

}  // namespace pasarela::os

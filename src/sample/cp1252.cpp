#include "sample/cp1252.h"

#include "dbase/codepage.h"

namespace pasarela::sample {

std::string utf8ToCp1252(std::string_view utf8) { return dbase::CodePage::forNumber(1252).fromUtf8(utf8); }

}  // namespace pasarela::sample

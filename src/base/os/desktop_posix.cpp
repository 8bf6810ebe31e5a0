// Hosts without native window handles or HTML Help.
#include "base/os/desktop.h"

namespace pasarela::os {

bool nativeWindowExists(std::uintptr_t) { return false; }

HtmlHelpLibrary::HtmlHelpLibrary() = default;
HtmlHelpLibrary::~HtmlHelpLibrary() = default;
void HtmlHelpLibrary::call(std::uintptr_t, const char16_t*, unsigned, std::uintptr_t) const {}

}  // namespace pasarela::os

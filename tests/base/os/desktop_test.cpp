#include "base/os/desktop.h"

#include <gtest/gtest.h>

namespace pasarela::os {
namespace {

TEST(Desktop, AHandleThatNamesNoWindowIsNoWindow) {
  EXPECT_FALSE(nativeWindowExists(0));
  EXPECT_FALSE(nativeWindowExists(0x7FFFFFF0u));
}

// Windows (and Wine) carry HHCtrl.ocx; elsewhere there is none, and calls
// must be harmless.
TEST(Desktop, TheHtmlHelpComponentLoadsWhereTheHostHasIt) {
  const HtmlHelpLibrary library;
#ifdef _WIN32
  EXPECT_TRUE(library.available());
#else
  EXPECT_FALSE(library.available());
  library.call(0, nullptr, 0x12, 0);
#endif
}

}  // namespace
}  // namespace pasarela::os

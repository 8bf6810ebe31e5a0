// Sharing between processes: a second process made with fork holds the
// table (Linux only; the Windows build checks sharing between handles).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "table_fixture.h"

namespace pasarela {
namespace {

using test::messageOf;
using test::TableTest;

TEST_F(TableTest, ExclusiveUseFailsWhileAnotherProcessHoldsTheFile) {
  createAulas();
  int toParent[2], toChild[2];
  ASSERT_EQ(pipe(toParent), 0);
  ASSERT_EQ(pipe(toChild), 0);
  pid_t pid = fork();
  if (pid == 0) {
    int status = 0;
    try {
      auto t = openAulas();
      char c = 'o';
      (void)!write(toParent[1], &c, 1);
      (void)!read(toChild[0], &c, 1);
    } catch (...) {
      status = 1;
    }
    _exit(status);
  }
  char c = 0;
  ASSERT_EQ(read(toParent[0], &c, 1), 1);
  EXPECT_EQ(messageOf([&] { openAulas("", true); }), "El archivo 'C:\\KTEMP\\AULAT.DBF' está en uso");
  EXPECT_NO_THROW(openAulas());
  (void)!write(toChild[1], &c, 1);
  int status = -1;
  waitpid(pid, &status, 0);
  EXPECT_EQ(status, 0);
  EXPECT_NO_THROW(openAulas("", true));
}

}  // namespace
}  // namespace pasarela

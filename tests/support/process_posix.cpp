// The process runner on POSIX: posix_spawn with pipes, polled until the child
// closes them or its time runs out.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>

#include "support/process.h"

extern char** environ;

namespace pasarela::test {

namespace {

struct Pipe {
  int read = -1, write = -1;
  bool open() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    read = fds[0];
    write = fds[1];
    return true;
  }
  static void close(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  ~Pipe() {
    close(read);
    close(write);
  }
};

std::vector<std::string> childEnvironment(const RunOptions& options) {
  std::map<std::string, std::string> vars;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const auto eq = entry.find('=');
    if (eq != std::string::npos) vars[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  for (const auto& [name, value] : options.environment) vars[name] = value;
  std::vector<std::string> out;
  for (const auto& [name, value] : vars) out.push_back(name + "=" + value);
  return out;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> p;
  for (std::string& s : strings) p.push_back(s.data());
  p.push_back(nullptr);
  return p;
}

}  // namespace

RunResult runProcess(const std::vector<std::string>& argv, const RunOptions& options) {
  RunResult result;
  if (argv.empty()) return result;
  Pipe in, out, err;
  if (!in.open() || !out.open() || (!options.mergeErrors && !err.open())) return result;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in.read, 0);
  posix_spawn_file_actions_adddup2(&actions, out.write, 1);
  posix_spawn_file_actions_adddup2(&actions, options.mergeErrors ? out.write : err.write, 2);

  std::vector<std::string> args = argv;
  std::vector<std::string> env = childEnvironment(options);
  std::vector<char*> argp = pointers(args), envp = pointers(env);
  pid_t pid = -1;
  const int rc = ::posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr, argp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  Pipe::close(in.read);
  Pipe::close(out.write);
  Pipe::close(err.write);
  if (rc != 0) return result;
  result.started = true;

  // Feed the input and drain both outputs together, so that a child
  // blocked on a full pipe never waits for us while we wait for it.
  std::size_t fed = 0;
  if (options.input.empty()) Pipe::close(in.write);
  ::signal(SIGPIPE, SIG_IGN);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
  while (out.read >= 0 || err.read >= 0) {
    pollfd fds[3];
    int n = 0;
    if (out.read >= 0) fds[n++] = {out.read, POLLIN, 0};
    if (err.read >= 0) fds[n++] = {err.read, POLLIN, 0};
    if (in.write >= 0) fds[n++] = {in.write, POLLOUT, 0};
    int wait = -1;
    if (options.timeoutSeconds > 0) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) {
        result.timedOut = true;
        ::kill(pid, SIGKILL);
        break;
      }
      wait = static_cast<int>(left.count());
    }
    if (::poll(fds, n, wait) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int i = 0; i < n; ++i) {
      if (!fds[i].revents) continue;
      if (fds[i].fd == in.write) {
        const ssize_t w = ::write(in.write, options.input.data() + fed, options.input.size() - fed);
        if (w > 0) fed += static_cast<std::size_t>(w);
        if (w < 0 || fed == options.input.size()) Pipe::close(in.write);
        continue;
      }
      char buffer[4096];
      const ssize_t r = ::read(fds[i].fd, buffer, sizeof buffer);
      const bool isOut = fds[i].fd == out.read;
      if (r > 0) {
        (isOut ? result.output : result.errors).append(buffer, static_cast<std::size_t>(r));
      } else if (r == 0 || errno != EINTR) {
        Pipe::close(isOut ? out.read : err.read);
      }
    }
  }
  Pipe::close(in.write);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!result.timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

std::filesystem::path builtProgram(const std::filesystem::path& withoutSuffix) { return withoutSuffix; }

}  // namespace pasarela::test

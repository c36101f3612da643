#include "tests/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace torvane::testing {

ChildOutcome RunChild(const std::string& program, const std::vector<std::string>& args,
                      const std::string& cwd, int signal, double delay_seconds,
                      long address_space_kib) {
  std::FILE* err_file = std::tmpfile();
  if (err_file == nullptr) throw std::runtime_error("no temporary file for stderr");
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    // Only async-signal-safe calls from here to exec.
    if (chdir(cwd.c_str()) != 0) _exit(127);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(fileno(err_file), 2);
    struct sigaction initial {};
    initial.sa_handler = SIG_DFL;
    sigaction(SIGINT, &initial, nullptr);
    sigaction(SIGTERM, &initial, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    if (address_space_kib > 0) {
      const rlimit limit{static_cast<rlim_t>(address_space_kib) * 1024,
                         static_cast<rlim_t>(address_space_kib) * 1024};
      setrlimit(RLIMIT_AS, &limit);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  ChildOutcome outcome;
  int status = 0;
  rusage usage {};
  bool ended = false;
  if (signal != 0) {
    const auto when = start + std::chrono::duration<double>(delay_seconds);
    while (std::chrono::steady_clock::now() < when) {
      if (wait4(child, &status, WNOHANG, &usage) == child) {
        ended = true;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!ended) kill(child, signal);
  }
  if (!ended) wait4(child, &status, 0, &usage);
  outcome.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  outcome.peak_kib = usage.ru_maxrss;
  if (WIFEXITED(status)) outcome.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
  std::rewind(err_file);
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, err_file)) > 0) outcome.err.append(buffer, got);
  std::fclose(err_file);
  return outcome;
}

}  // namespace torvane::testing

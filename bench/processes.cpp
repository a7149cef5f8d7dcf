#include "processes.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

namespace corvida::bench {
namespace {

long AnonKb(pid_t pid) {
  long kb = 0;
  if (FILE* status = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr)
      if (std::sscanf(line, "RssAnon: %ld", &kb) == 1) break;
    std::fclose(status);
  }
  return kb;
}

}  // namespace

TRun RunProcess(const std::vector<std::string>& args, bool sampleMemory) {
  TRun run;
  int fds[2];
  if (::pipe(fds) != 0) return run;
  // Closed by the exec: until then the child is a copy of this process and
  // its memory is ours, not the measured program's.
  int execed[2];
  if (::pipe2(execed, O_CLOEXEC) != 0) return run;
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(fds[1], 1);
    ::close(fds[0]);
    ::close(fds[1]);
    ::close(execed[0]);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  ::close(execed[1]);
  char ignored = 0;
  while (::read(execed[0], &ignored, 1) < 0 && errno == EINTR) {
  }
  ::close(execed[0]);
  static char buffer[1 << 16];
  for (;;) {
    if (sampleMemory) {
      run.peakAnonKb = std::max(run.peakAnonKb, AnonKb(child));
      struct pollfd ready {fds[0], POLLIN, 0};
      if (::poll(&ready, 1, 1) == 0) continue;
    }
    const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    run.outBytes += static_cast<uint64_t>(n);
    run.tail.append(buffer, static_cast<size_t>(n));
    if (run.tail.size() > 4096) run.tail.erase(0, run.tail.size() - 512);
  }
  ::close(fds[0]);
  int status = 0;
  struct rusage usage {};
  const bool waited = child > 0 && ::wait4(child, &status, 0, &usage) == child;
  run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.ok = waited && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}


}  // namespace corvida::bench

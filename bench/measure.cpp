// Runs one command line through bash and prints what it took on one line:
// wall seconds, CPU seconds (user and system, of every process it started)
// and the peak memory of its largest process in kilobytes. The exit code is
// the command's. A small program of its own, so that the peak memory is the
// command's and not that of a larger program that started it.
//
//   measure 'COMMAND'      ->  "0.532112 0.498001 5120"
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: measure 'COMMAND'\n");
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    execl("/bin/bash", "bash", "-c", argv[1], static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  struct rusage used = {};
  if (pid < 0 || wait4(pid, &status, 0, &used) != pid) return 2;
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  double cpu = used.ru_utime.tv_sec + used.ru_utime.tv_usec / 1e6 + used.ru_stime.tv_sec +
               used.ru_stime.tv_usec / 1e6;
  printf("%.6f %.6f %ld\n", wall, cpu, used.ru_maxrss);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

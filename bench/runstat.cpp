// runstat: runs a command with standard input from a file and standard output discarded,
// then prints its wall time in seconds and its peak resident memory in KiB.
// usage: runstat INPUT COMMAND [ARGS...]
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    auto t0 = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        int in = open(argv[1], O_RDONLY);
        int out = open("/dev/null", O_WRONLY);
        if (in < 0 || out < 0)
            _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    int st = 0;
    rusage ru{};
    wait4(pid, &st, 0, &ru);
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%.4f %ld\n", s, ru.ru_maxrss);
    return WIFEXITED(st) ? WEXITSTATUS(st) : 1;
}

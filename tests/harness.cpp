// harness: fork, exec and pipes for the end-to-end tests.
#include "harness.hpp"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

TempDir::TempDir() {
    std::random_device rd;
    for (int i = 0; i < 100; ++i) {
        path = fs::temp_directory_path() / ("lortest-" + std::to_string(rd()));
        if (fs::create_directory(path))
            return;
    }
    throw std::runtime_error("no temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path, ec);
}

std::string bin(const std::string& name) {
    return std::string(BIN_DIR) + "/" + name;
}

RunResult run_in(const fs::path& dir, const std::string& program, const std::string& input,
                 const std::string& path_first, bool new_session) {
    return run_args(dir, {program}, input, path_first, new_session);
}

RunResult run_args(const fs::path& dir, const std::vector<std::string>& argv,
                   const std::string& input, const std::string& path_first, bool new_session) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0)
        throw std::runtime_error("pipe");
    pid_t pid = fork();
    if (pid == 0) {
        if (new_session)
            setsid();
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[0]);
        close(in[1]);
        close(out[0]);
        close(out[1]);
        if (chdir(dir.c_str()) != 0)
            _exit(127);
        if (!path_first.empty()) {
            std::string p = path_first + ":" + (getenv("PATH") ? getenv("PATH") : "");
            setenv("PATH", p.c_str(), 1);
        }
        signal(SIGPIPE, SIG_DFL);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    // Feed standard input and drain standard output together, so neither pipe can block.
    signal(SIGPIPE, SIG_IGN);
    std::size_t sent = 0;
    bool in_open = true;
    if (input.empty()) {
        close(in[1]);
        in_open = false;
    }
    RunResult r;
    char buf[65536];
    for (;;) {
        pollfd p[2] = {{out[0], POLLIN, 0}, {in_open ? in[1] : -1, POLLOUT, 0}};
        if (poll(p, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (in_open && (p[1].revents & (POLLOUT | POLLERR | POLLHUP))) {
            ssize_t k = write(in[1], input.data() + sent, input.size() - sent);
            if (k > 0)
                sent += static_cast<std::size_t>(k);
            if (k < 0 || sent == input.size()) {
                close(in[1]);
                in_open = false;
            }
        }
        if (p[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            ssize_t k = read(out[0], buf, sizeof buf);
            if (k <= 0)
                break;
            r.out.append(buf, static_cast<std::size_t>(k));
        }
    }
    if (in_open)
        close(in[1]);
    close(out[0]);
    int st = 0;
    waitpid(pid, &st, 0);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    return r;
}

std::string read_file(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void write_file(const fs::path& p, const std::string& bytes) {
    std::ofstream f(p, std::ios::binary);
    f << bytes;
}

fs::path make_fake_gplot(const fs::path& dir) {
    fs::path b = dir / "fakebin";
    fs::create_directory(b);
    write_file(b / "gplot", "#!/bin/sh\n"
                            "echo \"$@\" >> gplot.log\n"
                            "cp \"$2\" gplot.seen\n");
    fs::permissions(b / "gplot", fs::perms::owner_all);
    return b;
}

// process: fork, exec and pipes for the end-to-end tests (POSIX only).
#include "harness.hpp"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

RunResult run_in(const fs::path& dir, const std::string& program, const std::string& input,
                 const std::string& path_first, bool new_session) {
    return run_args(dir, {program}, input, path_first, new_session);
}

RunResult run_args(const fs::path& dir, const std::vector<std::string>& argv,
                   const std::string& input, const std::string& path_first, bool new_session) {
    RunOpts o;
    o.path_first = path_first;
    o.new_session = new_session;
    return run_opts(dir, argv, input, o);
}

RunResult run_opts(const fs::path& dir, const std::vector<std::string>& argv,
                   const std::string& input, const RunOpts& o) {
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0)
        throw std::runtime_error("pipe");
    if (o.out == RunOpts::broken) {
        close(out[0]);
        out[0] = -1;
    }
    pid_t pid = fork();
    if (pid == 0) {
        if (o.new_session)
            setsid();
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        close(err[0]);
        close(err[1]);
        if (o.stdin_closed)
            close(0);
        if (o.out == RunOpts::closed)
            close(1);
        close(in[0]);
        close(in[1]);
        if (out[0] >= 0)
            close(out[0]);
        close(out[1]);
        if (chdir(dir.c_str()) != 0)
            _exit(127);
        if (!o.path.empty())
            setenv("PATH", o.path.c_str(), 1);
        if (!o.path_first.empty()) {
            std::string p = o.path_first + ":" + (getenv("PATH") ? getenv("PATH") : "");
            setenv("PATH", p.c_str(), 1);
        }
        signal(SIGPIPE, SIG_DFL);
        for (const std::string& e : o.env)
            putenv(const_cast<char*>(e.c_str()));
        if (o.interrupt > 0)
            for (int sig : {SIGINT, SIGTERM, SIGHUP})
                signal(sig, SIG_DFL);
        if (o.memory_mb > 0) {
            rlimit lim{};
            lim.rlim_cur = lim.rlim_max = static_cast<rlim_t>(o.memory_mb) << 20;
            setrlimit(RLIMIT_AS, &lim);
        }
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    // Feed standard input and drain standard output together, so neither pipe can block:
    // writes never wait, a full pipe is retried when poll says it has room.
    fcntl(in[1], F_SETFL, fcntl(in[1], F_GETFL) | O_NONBLOCK);
    signal(SIGPIPE, SIG_IGN);
    std::size_t sent = 0;
    bool in_open = true;
    if (input.empty()) {
        close(in[1]);
        in_open = false;
    }
    RunResult r;
    char buf[65536];
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(o.timeout_s);
    bool out_open = out[0] >= 0, err_open = true;
    int st = 0;
    bool done = false;
    bool interrupted = o.interrupt <= 0;
    while (!done) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            break;
        }
        std::error_code ec;
        for (auto it = fs::directory_iterator(dir, ec); !interrupted && !ec && it != fs::end(it);
             it.increment(ec))
            if (it->path().filename().string().rfind(o.interrupt_at, 0) == 0) {
                kill(pid, o.interrupt);
                interrupted = true;
            }
        pollfd p[3] = {{out_open ? out[0] : -1, POLLIN, 0},
                       {in_open ? in[1] : -1, POLLOUT, 0},
                       {err_open ? err[0] : -1, POLLIN, 0}};
        if (!out_open && !in_open && !err_open) {
            // Nothing to pass: wait for the end, a little at a time.
            if (waitpid(pid, &st, WNOHANG) == pid) {
                done = true;
                pid = -1;
            } else {
                poll(nullptr, 0, 10);
            }
            continue;
        }
        if (poll(p, 3, 100) < 0 && errno != EINTR)
            break;
        if (in_open && (p[1].revents & (POLLOUT | POLLERR | POLLHUP))) {
            ssize_t k = write(in[1], input.data() + sent, input.size() - sent);
            if (k > 0)
                sent += static_cast<std::size_t>(k);
            if ((k < 0 && errno != EAGAIN) || sent == input.size()) {
                close(in[1]);
                in_open = false;
            }
        }
        // Takes what a readable pipe holds into to; closes it at its end.
        auto drain = [&](const pollfd& q, int fd, bool& open, std::string& to) {
            if (!open || !(q.revents & (POLLIN | POLLHUP | POLLERR)))
                return;
            ssize_t k = read(fd, buf, sizeof buf);
            if (k <= 0) {
                close(fd);
                open = false;
            } else {
                to.append(buf, static_cast<std::size_t>(k));
            }
        };
        drain(p[0], out[0], out_open, r.out);
        drain(p[2], err[0], err_open, r.err);
    }
    if (err_open)
        close(err[0]);
    if (in_open)
        close(in[1]);
    if (out_open)
        close(out[0]);
    if (pid > 0)
        waitpid(pid, &st, 0);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    return r;
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

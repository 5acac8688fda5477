#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string_view>
#include <thread>

#include "run_program.h"

namespace strcrypt::testing {

namespace {

// This process passes on what some runners give their tests: SIGPIPE ignored and blocked,
// and a library path, a preload and a time zone of their own. A run that inherited any of
// them in place of what it sets would show; each run sets the signal state it needs.
[[maybe_unused]] const bool runner_state_set = [] {
    sigset_t pipe_signal;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    sigprocmask(SIG_BLOCK, &pipe_signal, nullptr);
    setenv("LD_LIBRARY_PATH", "/usr/local/lib", 0);
    setenv("TZ", "Europe/Berlin", 0);
#ifndef STRCRYPT_SANITIZED  // AddressSanitizer wants to be the first library loaded
    setenv("LD_PRELOAD", "libc.so.6", 0);  // loaded anyway: harmless
#endif
    return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
}();

// How long the slow reader waits before each read, and how much it reads at most.
constexpr auto slow_read_pause = std::chrono::milliseconds{10};
constexpr std::size_t slow_read_size = std::size_t{16} * 1024;

std::vector<char*> pointers_to(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (auto& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

RunResult run_program(const std::string& program, const std::vector<std::string>& argv,
                      const RunOptions& options) {
    check(options.out != Stdout::message_pipe && options.out != Stdout::disconnected_pipe,
          "a Windows-only run option");
    std::vector<std::string> args = argv;
    // The run's own entries replace inherited ones of the same name: the loader, libc and
    // valgrind each read a name's first or last copy, by their own rules.
    std::vector<std::string> env = options.env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string_view entry(*e);
        const auto named = [&](const std::string& own) {
            return own.compare(0, own.find('=') + 1, entry.substr(0, entry.find('=') + 1)) == 0;
        };
        if (std::none_of(options.env.begin(), options.env.end(), named)) env.emplace_back(entry);
    }
    std::vector<char*> arg_pointers = pointers_to(args);
    std::vector<char*> env_pointers = pointers_to(env);

    std::array<int, 2> out{};
    std::array<int, 2> err{};
    check(pipe(out.data()) == 0 && pipe(err.data()) == 0, "pipe");

    const pid_t pid = fork();
    check(pid >= 0, "fork");
    if (pid == 0) {
        switch (options.out) {
            case Stdout::pipe:
                dup2(out[1], STDOUT_FILENO);
                break;
            case Stdout::nonblocking_pipe:
                dup2(out[1], STDOUT_FILENO);
                fcntl(STDOUT_FILENO, F_SETFL, fcntl(STDOUT_FILENO, F_GETFL) | O_NONBLOCK);
                break;
            case Stdout::closed:
                close(STDOUT_FILENO);
                break;
            case Stdout::message_pipe:  // refused above
            case Stdout::disconnected_pipe:
                break;
            case Stdout::full_device: {
                const int full = open("/dev/full", O_WRONLY);
                if (full < 0) _exit(125);
                dup2(full, STDOUT_FILENO);
                close(full);
                break;
            }
        }
        dup2(err[1], STDERR_FILENO);
        std::signal(SIGPIPE, options.ignore_sigpipe ? SIG_IGN : SIG_DFL);
        sigset_t no_signals;
        sigemptyset(&no_signals);
        sigprocmask(SIG_SETMASK, &no_signals, nullptr);
        if (options.address_space != 0) {
            const rlimit limit = {options.address_space, options.address_space};
            setrlimit(RLIMIT_AS, &limit);
        }
        for (int fd : {out[0], out[1], err[0], err[1]}) close(fd);
        execve(program.c_str(), arg_pointers.data(), env_pointers.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);

    RunResult result;
    std::array<pollfd, 2> fds = {{{out[0], POLLIN, 0}, {err[0], POLLIN, 0}}};
    std::array<std::string*, 2> sinks = {&result.out, &result.err};
    int open_fds = 2;
    while (open_fds > 0) {
        if (poll(fds.data(), fds.size(), -1) < 0) {
            check(errno == EINTR, "poll");
            continue;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            std::array<char, 65536> buffer;
            std::size_t room = i == 0 ? options.read_limit - result.out.size() : buffer.size();
            if (i == 0 && options.out == Stdout::nonblocking_pipe) {
                std::this_thread::sleep_for(slow_read_pause);
                room = std::min(room, slow_read_size);
            }
            const ssize_t got =
                room == 0 ? 0 : read(fds[i].fd, buffer.data(), std::min(room, buffer.size()));
            if (got > 0) {
                sinks[i]->append(buffer.data(), static_cast<std::size_t>(got));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open_fds;
            }
        }
    }

    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0) check(errno == EINTR, "waitpid");
    if (WIFEXITED(wstatus)) {
        result.status = WEXITSTATUS(wstatus);
    } else if (WIFSIGNALED(wstatus)) {
        result.signal = WTERMSIG(wstatus);
    }
    return result;
}

}  // namespace strcrypt::testing

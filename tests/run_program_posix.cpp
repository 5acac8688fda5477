#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "run_program.h"

namespace strcrypt::testing {

namespace {

// This process ignores SIGPIPE, as some runners start their tests, so that a program
// that inherited the runner's disposition would show: each run sets the one it needs.
[[maybe_unused]] const bool sigpipe_ignored = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;

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
    std::vector<std::string> env = options.env;
    for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
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

#include "tools/win95sim/driver.h"

#include "platform/sim/driver/agent_wire.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/shell/internal.h"
#include "platform/win32.h"

#include <cerrno>
#include <fcntl.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// A child's end wakes the event loop at once through this pipe, instead of at the next poll timeout.
int child_pipe[2] = {-1, -1};

void on_child_end(int) {
    int saved = errno;
    char c = 0;
    [[maybe_unused]] ssize_t n = ::write(child_pipe[1], &c, 1);
    errno = saved;
}

void watch_children() {
    if (child_pipe[0] >= 0) return;
    if (::pipe2(child_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction sa {};
    sa.sa_handler = on_child_end;
    sa.sa_flags = SA_RESTART | SA_NOCLDSTOP;
    ::sigaction(SIGCHLD, &sa, nullptr);
}

void drain_child_pipe() {
    char buf[64];
    while (child_pipe[0] >= 0 && ::read(child_pipe[0], buf, sizeof buf) > 0) {
    }
}

bool send_all(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

} // namespace

Driver::~Driver() {
    stop_all();
    if (listener_ >= 0) ::close(listener_);
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
}

bool Driver::start(std::string* error) {
    // Programs started by programs (the loader starts the main setup and ends) become ours when their
    // parent ends, so every end can be seen.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    watch_children();
    char tmpl[] = "/tmp/win95sim-XXXXXX";
    if (!::mkdtemp(tmpl)) return fail(error, "cannot make a temporary folder for the agent socket");
    dir_ = tmpl;
    socket_path_ = dir_ + "/agent";
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, socket_path_.c_str(), sizeof addr.sun_path - 1);
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener_, 16) != 0)
        return fail(error, std::string("cannot listen on the agent socket: ") + std::strerror(errno));
    ::setenv("WIN95SIM_AGENT", socket_path_.c_str(), 1);
    return true;
}

bool Driver::launch(const std::string& command_line, std::string* error) {
    // Started as from the shell: the program's own directory is its current directory.
    std::string program = command_line.substr(0, command_line.find(' '));
    std::string full = sim::full_path(program);
    if (!full.empty()) {
        std::string dir = full.substr(0, full.find_last_of('\\') + 1);
        sim::machine().current_dir = dir;
    }
    long pid = 0;
    unsigned result = sim::start_program(command_line, &pid, false);
    if (result <= 31) {
        const char* why = result == ERROR_FILE_NOT_FOUND ? "the program file was not found"
                          : result == ERROR_BAD_FORMAT   ? "the file is not a program"
                                                         : "the program could not be started";
        return fail(error, "cannot run '" + command_line + "': " + why + " (WinExec result " +
                               std::to_string(result) + ")");
    }
    launched_ = static_cast<pid_t>(pid);
    exit_code_ = pid ? -1 : 0;
    if (pid) {
        ended_.erase(launched_); // a number used again
        alive_.insert(launched_);
    }
    return true;
}

bool Driver::accept_one() {
    int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return false;
    connections_[fd] = Connection{};
    return true;
}

// Reads what a program sent; false when it closed its end.
bool Driver::read_from(int fd) {
    char chunk[8192];
    ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n <= 0) return false;
    connections_[fd].buffer.append(chunk, static_cast<size_t>(n));
    return true;
}

// A program's news can arrive after its end was seen: a process already reaped stays ended.
void Driver::note_alive(pid_t pid) {
    if (pid > 0 && !ended_.count(pid)) alive_.insert(pid);
}

void Driver::reap() {
    for (;;) {
        int status = 0;
        pid_t pid = ::waitpid(-1, &status, WNOHANG);
        if (pid <= 0) return;
        alive_.erase(pid);
        ended_.insert(pid);
        if (pid == launched_) exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
}

// Takes one complete record from a connection's buffer. True when an event for the caller was found.
bool Driver::take_event(int fd, Ask& ask, std::string& reason, Event& event) {
    Connection& c = connections_[fd];
    for (;;) {
        size_t nl = c.buffer.find('\n');
        if (nl == std::string::npos) return false;
        std::string line = c.buffer.substr(0, nl);
        if (line == "ask") {
            size_t end = c.buffer.find("\nend\n", nl);
            if (end == std::string::npos) return false;
            std::string body = c.buffer.substr(nl + 1, end - nl);
            c.buffer.erase(0, end + 5);
            ask.connection = fd;
            ask.pid = c.pid;
            if (!sim::decode_snapshot(body, ask.snapshot)) {
                reason = "a program sent a snapshot that cannot be read";
                event = Event::Broken;
                return true;
            }
            event = Event::Ask;
            return true;
        }
        c.buffer.erase(0, nl + 1);
        if (line.rfind("hello ", 0) == 0) {
            c.pid = static_cast<pid_t>(std::atol(line.c_str() + 6));
            note_alive(c.pid);
        } else if (line.rfind("spawned ", 0) == 0) {
            note_alive(static_cast<pid_t>(std::atol(line.c_str() + 8)));
        } else if (line.rfind("rejected ", 0) == 0) {
            sim::unescape_token(line.substr(9), reason);
            event = Event::Rejected;
            return true;
        }
        // "bye CODE" needs nothing: the end of the process is seen when it is reaped.
    }
}

Driver::Event Driver::next_event(int timeout_ms, Ask& ask, std::string& reason) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        for (auto& [fd, c] : connections_) {
            Event event;
            if (take_event(fd, ask, reason, event)) return event;
        }
        reap();
        if (alive_.empty() && connections_.empty()) return Event::AllEnded;
        if (std::chrono::steady_clock::now() >= deadline) return Event::TimedOut;
        std::vector<pollfd> fds{{listener_, POLLIN, 0}, {child_pipe[0], POLLIN, 0}};
        for (auto& [fd, c] : connections_)
            fds.push_back({fd, POLLIN, 0});
        ::poll(fds.data(), fds.size(), 100);
        if (fds[0].revents & POLLIN) accept_one();
        if (fds[1].revents & POLLIN) drain_child_pipe();
        for (size_t i = 2; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            if (!read_from(fds[i].fd)) {
                // Whatever it sent before closing is still handled.
                Event event;
                if (take_event(fds[i].fd, ask, reason, event)) return event;
                ::close(fds[i].fd);
                connections_.erase(fds[i].fd);
            }
        }
    }
}

bool Driver::answer(const Ask& ask, const sim::Input& input) {
    return send_all(ask.connection, sim::encode_input(input) + "\n");
}

bool Driver::request(const Ask& ask, const std::string& line, std::string& reply) {
    if (!send_all(ask.connection, line + "\n")) return false;
    Connection& c = connections_[ask.connection];
    for (;;) {
        size_t nl = c.buffer.find('\n');
        if (nl != std::string::npos) {
            reply = c.buffer.substr(0, nl);
            c.buffer.erase(0, nl + 1);
            return true;
        }
        pollfd p{ask.connection, POLLIN, 0};
        if (::poll(&p, 1, 10000) <= 0 || !read_from(ask.connection)) return false;
    }
}

void Driver::stop_all() {
    for (pid_t pid : alive_)
        ::kill(pid, SIGKILL);
    for (auto& [fd, c] : connections_)
        ::close(fd);
    connections_.clear();
    while (!alive_.empty()) {
        int status;
        pid_t pid = ::waitpid(-1, &status, 0);
        if (pid <= 0) break;
        alive_.erase(pid);
    }
    alive_.clear();
}

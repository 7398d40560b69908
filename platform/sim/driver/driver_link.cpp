#include "platform/sim/driver/driver_link.h"
#include "platform/sim/driver/agent.h"
#include "platform/sim/driver/agent_wire.h"
#include "platform/sim/gdi/internal.h"
#include "platform/sim/machine/machine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace sim {
namespace {

int& link_fd() {
    static int fd = -1;
    return fd;
}

bool send_text(const std::string& text) {
    int fd = link_fd();
    size_t done = 0;
    while (fd >= 0 && done < text.size()) {
        ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return fd >= 0;
}

// One line from the driver, without its '\n'; false when the driver went away.
bool read_line(std::string& line) {
    static std::string buffer;
    for (;;) {
        size_t nl = buffer.find('\n');
        if (nl != std::string::npos) {
            line = buffer.substr(0, nl);
            buffer.erase(0, nl + 1);
            return true;
        }
        char chunk[4096];
        ssize_t n = ::recv(link_fd(), chunk, sizeof chunk, 0);
        if (n <= 0) return false;
        buffer.append(chunk, static_cast<size_t>(n));
    }
}

std::string pixel_reply(const std::string& args) {
    int x = -1, y = -1;
    if (std::sscanf(args.c_str(), "%d %d", &x, &y) != 2) return "error bad pixel request\n";
    Surface screen = compose_screen();
    if (!screen.contains(x, y)) return "error the point is off the screen\n";
    char out[32];
    std::snprintf(out, sizeof out, "pixel %06X\n", screen.at(x, y) & 0xFFFFFF);
    return out;
}

// Answers the driver's requests about the screen until it sends the input.
Input await_input() {
    std::string line;
    while (read_line(line)) {
        Input input;
        if (decode_input(line, input)) {
            recheck_settings();
            return input;
        }
        if (line.rfind("screenshot ", 0) == 0) {
            std::string path;
            std::string error = "the request is malformed";
            bool ok = unescape_token(line.substr(11), path) && save_screenshot(path, &error);
            send_text(ok ? "ok\n" : "error " + error + "\n");
        } else if (line.rfind("pixel ", 0) == 0) {
            send_text(pixel_reply(line.substr(6)));
        } else {
            send_text("error unknown request\n");
        }
    }
    Input fail;
    fail.kind = InputKind::Fail;
    fail.reason = "win95sim went away";
    return fail;
}

class RemoteAgent : public Agent {
  public:
    Input next(const DialogSnapshot& snapshot) override {
        if (!send_text("ask\n" + encode_snapshot(snapshot) + "end\n")) {
            Input fail;
            fail.kind = InputKind::Fail;
            fail.reason = "win95sim went away";
            return fail;
        }
        return await_input();
    }
    void rejected(const Input&, const std::string& reason, const DialogSnapshot&) override {
        send_text("rejected " + escape_token(reason) + "\n");
    }
};

} // namespace

bool connect_driver(std::string* error) {
    const char* path = std::getenv("WIN95SIM_AGENT");
    if (!path || !*path) return true;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (std::strlen(path) >= sizeof addr.sun_path) {
        if (error) *error = "the agent socket path is too long";
        return false;
    }
    std::strcpy(addr.sun_path, path);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        if (fd >= 0) ::close(fd);
        if (error) *error = std::string("cannot reach win95sim at ") + path;
        return false;
    }
    link_fd() = fd;
    static RemoteAgent agent;
    set_agent(&agent);
    return send_text("hello " + std::to_string(::getpid()) + "\n");
}

bool driver_connected() {
    return link_fd() >= 0;
}

void driver_notify_spawned(long pid) {
    send_text("spawned " + std::to_string(pid) + "\n");
}

void driver_notify_exit(int code) {
    send_text("bye " + std::to_string(code) + "\n");
    if (link_fd() >= 0) ::close(link_fd());
    link_fd() = -1;
}

} // namespace sim

// win95sim's side of the programs it runs: it starts them on a machine, and answers each one that waits
// for the user through the agent socket (see platform/sim/driver_link.h).
#pragma once

#include "platform/sim/driver/agent.h"

#include <map>
#include <set>
#include <string>
#include <sys/types.h>

class Driver {
  public:
    Driver() = default;
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
    ~Driver();

    bool start(std::string* error);

    // Starts a program of the attached machine by its Windows command line, with its own directory as
    // the current directory.
    bool launch(const std::string& command_line, std::string* error);

    struct Ask {
        int connection = -1;
        pid_t pid = 0;
        sim::DialogSnapshot snapshot;
    };
    enum class Event { Ask, Rejected, AllEnded, TimedOut, Broken };
    // Waits until a program asks for input (ASK), reports an ignored input (REASON), or every program
    // has ended.
    Event next_event(int timeout_ms, Ask& ask, std::string& reason);
    bool answer(const Ask& ask, const sim::Input& input);
    // A request about the screen to the program that is asking; its one-line reply.
    bool request(const Ask& ask, const std::string& line, std::string& reply);

    int exit_code() const { return exit_code_; } // of the last launched program; -1 while it runs
    bool running() const { return !alive_.empty() || !connections_.empty(); }
    // Ends every program still running.
    void stop_all();

  private:
    struct Connection {
        pid_t pid = 0;
        std::string buffer;
    };
    bool accept_one();
    bool read_from(int fd);
    void reap();
    void note_alive(pid_t pid);
    bool take_event(int fd, Ask& ask, std::string& reason, Event& event);

    int listener_ = -1;
    std::string dir_;
    std::string socket_path_;
    std::map<int, Connection> connections_;
    std::set<pid_t> alive_;
    std::set<pid_t> ended_;
    pid_t launched_ = 0;
    int exit_code_ = -1;
};

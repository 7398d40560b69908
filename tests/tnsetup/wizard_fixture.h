// The wizard dialogs run over the real setup window, answered by a queue of inputs, with setup1.inf and
// the other files of the machine written by the test.
#pragma once

#include "setup/dialogs/wizard.h"
#include "tests/tnsetup/setup_screen.h"

#include <filesystem>
#include <functional>
#include <string>

class WizardDialogs : public SetupScreen {
  protected:
    void SetUp() override {
        SetupScreen::SetUp();
        sim::set_agent(&agent);
        CopyText(szInfFile, "C:\\DIST\\SETUP1.INF");
    }
    void TearDown() override {
        EXPECT_TRUE(agent.errors().empty()) << agent.errors().front();
        SetupScreen::TearDown();
    }
    void Answer(std::initializer_list<sim::Input> inputs) {
        for (const sim::Input& input : inputs)
            agent.push(input);
    }
    // A file of the machine by its Windows path; an empty NAME after the last backslash makes a directory.
    void Put(const std::string& windowsPath, const std::string& text = "") {
        std::string relative = windowsPath.substr(0, 1) + "/" + windowsPath.substr(3);
        for (char& c : relative)
            if (c == '\\') c = '/';
        std::filesystem::path where(host(relative));
        if (relative.back() == '/') {
            std::filesystem::create_directories(where);
            return;
        }
        std::filesystem::create_directories(where.parent_path());
        ASSERT_TRUE(sim::write_host_file(where.string(), text));
    }
    void PutInf(const std::string& text) { Put("C:\\DIST\\SETUP1.INF", text); }
    // A control as the agent saw it when it gave its Nth answer (from 0).
    const sim::ControlSnapshot& Seen(std::size_t n, int id) {
        static const sim::ControlSnapshot none;
        if (n >= agent.seen().size()) return none;
        for (const sim::ControlSnapshot& control : agent.seen()[n].controls)
            if (control.id == id) return control;
        return none;
    }
    // The texts of the messages the agent answered, in order.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const sim::DialogSnapshot& seen : agent.seen())
            if (seen.template_name == "MESSAGE" && !seen.painted.empty())
                texts.push_back(seen.painted.front());
        return texts;
    }
    // Template names of the dialogs the agent answered.
    std::string SeenDialogs() const {
        std::string names;
        for (const sim::DialogSnapshot& seen : agent.seen())
            names += (names.empty() ? "" : " ") + seen.template_name;
        return names;
    }

    sim::QueueAgent agent;
};

// Runs a check on the dialog in front before each input of a queue.
class CheckingAgent : public sim::QueueAgent {
  public:
    CheckingAgent(std::vector<sim::Input> inputs, std::function<void(HWND dialog)> check)
        : sim::QueueAgent(std::move(inputs)), check_(std::move(check)) {}
    sim::Input next(const sim::DialogSnapshot& snapshot) override {
        check_(GetActiveWindow());
        return sim::QueueAgent::next(snapshot);
    }

  private:
    std::function<void(HWND dialog)> check_;
};

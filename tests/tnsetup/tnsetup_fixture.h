// A fresh machine with the setup state at its start values, and a user agent that answers the dialogs.
#pragma once

#include "platform/sim/driver/agent.h"
#include "setup/core/setup.h"
#include "setup/messages/messages.h"
#include "tests/unit/sim_fixture.h"

#include <string>

class TnSetup : public SimMachine {
  protected:
    void SetUp() override {
        SimMachine::SetUp();
        ResetSetupState();
        CopyText(szWindowsDir, "C:\\WINDOWS\\");
        CopyText(szSystemDir, "C:\\WINDOWS\\SYSTEM\\");
        sim::set_agent(&agent);
    }
    void TearDown() override {
        sim::set_agent(nullptr);
        EXPECT_TRUE(agent.errors().empty()) << agent.errors().front();
        SimMachine::TearDown();
    }
    // Writes a file of the machine by its Windows path (C:\...).
    void put(const std::string& windowsPath, const std::string& text) {
        std::string relative = windowsPath.substr(0, 1) + "/" + windowsPath.substr(3);
        for (char& c : relative)
            if (c == '\\') c = '/';
        std::filesystem::create_directories(std::filesystem::path(host(relative)).parent_path());
        ASSERT_TRUE(sim::write_host_file(host(relative), text));
    }
    // Template names of the dialogs the agent has answered.
    std::string seenDialogs() const {
        std::string names;
        for (const auto& d : agent.seen())
            names += (names.empty() ? "" : " ") + d.template_name;
        return names;
    }

    sim::QueueAgent agent;
};

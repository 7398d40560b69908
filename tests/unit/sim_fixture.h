// A fresh default machine in a temporary folder, attached for the test's duration.
#pragma once

#include "platform/sim/machine/machine.h"
#include "platform/sim/sim.h"
#include "platform/sim/machine/textfile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

class SimMachine : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/simtest-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root = tmpl;
        std::string error;
        ASSERT_TRUE(sim::create_default_machine(root, &error)) << error;
        ASSERT_TRUE(sim::attach(root, "C:\\SETUP.EXE", "C:\\", &error)) << error;
    }
    void TearDown() override {
        sim::detach();
        std::filesystem::remove_all(root);
    }
    // Applies a machine setting (the scenario language's `set` form) to the attached machine.
    void set(const std::string& line) {
        std::string error;
        ASSERT_TRUE(sim::apply_setting(sim::machine().settings, line, root, &error)) << error;
    }
    std::string machine_file(const std::string& name) const {
        std::string text;
        sim::read_host_file((std::filesystem::path(root) / name).string(), text);
        return text;
    }
    void use_codepage(unsigned codepage) { sim::machine().settings.codepage = codepage; }
    std::string host(const std::string& relative) const {
        return (std::filesystem::path(root) / relative).string();
    }

    std::string root;
};

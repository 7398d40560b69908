// A fresh default machine attached for the length of a unit test, for code that reads the machine's
// settings (the ANSI code page of resource texts, for one).
#pragma once

#include "platform/sim/machine.h"
#include "platform/sim/sim.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdlib.h>

class AttachedMachine : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/machine-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        std::string error;
        ASSERT_TRUE(sim::create_default_machine(root_, &error)) << error;
        ASSERT_TRUE(sim::attach(root_, "C:\\SETUP.EXE", "C:\\", &error)) << error;
    }
    void TearDown() override {
        sim::detach();
        std::filesystem::remove_all(root_);
    }
    void use_codepage(unsigned codepage) { sim::machine().settings.codepage = codepage; }

  private:
    std::string root_;
};

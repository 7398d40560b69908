// Conformance tests are written once and run on the simulator and, built for Windows, under Wine. Each
// test gets an empty scratch folder: on the simulator a folder on drive C: of a fresh default machine,
// on Windows a new folder in the temporary directory.
#pragma once

#include "platform/win32.h"

#include <gtest/gtest.h>
#include <string>

class Conformance : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Windows path of the scratch folder, with a trailing backslash.
    const std::string& scratch() const { return scratch_; }
    std::string at(const std::string& name) const { return scratch_ + name; }
    // Writes a file in the scratch folder (through the Win32 file functions under test elsewhere).
    void put(const std::string& name, const std::string& bytes);
    std::string get(const std::string& name);
    // Makes a folder in the scratch folder.
    void make_dir(const std::string& name);
    // The Windows path of the bitmap font file NAME of the fonts-wine package, which the machine may not
    // load itself; "" when it is not to be had.
    std::string font_file(const std::string& name);

  private:
    std::string scratch_;
};

// True on the simulator, false on real Windows (or Wine): for the few cases that only one side can set up.
bool on_simulator();

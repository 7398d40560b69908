#include "tests/conformance/fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

bool on_simulator() { return false; }

void Conformance::SetUp() {
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(sizeof temp, temp), 0u);
    static unsigned counter = 0;
    std::string dir = std::string(temp) + "conf" + std::to_string(GetCurrentProcessId()) + "_" +
                      std::to_string(++counter);
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    scratch_ = dir + "\\";
}

void Conformance::TearDown() {
    std::error_code ec;
    fs::remove_all(fs::path(scratch_), ec);
}

void Conformance::put(const std::string& name, const std::string& bytes) {
    std::ofstream(fs::path(scratch_ + name), std::ios::binary) << bytes;
}

std::string Conformance::get(const std::string& name) {
    std::ifstream in(fs::path(scratch_ + name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Conformance::make_dir(const std::string& name) { fs::create_directories(fs::path(scratch_ + name)); }

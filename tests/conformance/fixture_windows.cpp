#include "tests/conformance/fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

bool on_simulator() {
    return false;
}

void Conformance::SetUp() {
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(sizeof temp, temp), 0u);
    // Wine reuses process ids, and a folder left behind by an earlier run must not stop this one: the
    // name takes the clock too, and a taken name is skipped.
    static unsigned counter = 0;
    std::string dir;
    for (int attempt = 0; attempt < 100; ++attempt) {
        dir = std::string(temp) + "conf" + std::to_string(GetCurrentProcessId()) + "_" +
              std::to_string(GetTickCount()) + "_" + std::to_string(++counter);
        if (CreateDirectoryA(dir.c_str(), nullptr)) break;
        ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << dir;
    }
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

void Conformance::make_dir(const std::string& name) {
    fs::create_directories(fs::path(scratch_ + name));
}

// Wine's prefix holds the package's files in the fonts folder; Wine also reaches the package's own folder.
std::string Conformance::font_file(const std::string& name) {
    char windows[MAX_PATH];
    UINT n = GetWindowsDirectoryA(windows, sizeof windows);
    for (const std::string& path :
         {std::string(windows, n) + "\\Fonts\\" + name, "Z:\\usr\\share\\wine\\fonts\\" + name})
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return path;
    return "";
}

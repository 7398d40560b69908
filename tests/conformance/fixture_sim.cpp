#include "tests/conformance/fixture.h"
#include "platform/sim/sim.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
fs::path host_root;
}

bool on_simulator() {
    return true;
}

void Conformance::SetUp() {
    char tmpl[] = "/tmp/conformance-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    host_root = tmpl;
    std::string error;
    ASSERT_TRUE(sim::create_default_machine((host_root / "m").string(), &error)) << error;
    ASSERT_TRUE(sim::attach((host_root / "m").string(), "C:\\TEST.EXE", "C:\\", &error)) << error;
    fs::create_directories(host_root / "m" / "C" / "SCRATCH");
    scratch_ = "C:\\SCRATCH\\";
}

void Conformance::TearDown() {
    sim::detach();
    std::error_code ec;
    fs::remove_all(host_root, ec);
}

void Conformance::put(const std::string& name, const std::string& bytes) {
    std::ofstream(host_root / "m" / "C" / "SCRATCH" / name, std::ios::binary) << bytes;
}

std::string Conformance::get(const std::string& name) {
    std::ifstream in(host_root / "m" / "C" / "SCRATCH" / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Conformance::make_dir(const std::string& name) {
    fs::create_directories(host_root / "m" / "C" / "SCRATCH" / name);
}

std::string Conformance::font_file(const std::string& name) {
    const char* dir = std::getenv("WIN95SIM_FONTS");
    std::error_code ec;
    fs::copy_file(fs::path(dir ? dir : "/usr/share/wine/fonts") / name,
                  host_root / "m" / "C" / "SCRATCH" / name, ec);
    return ec ? "" : at(name);
}

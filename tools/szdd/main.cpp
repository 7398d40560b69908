// szdd: compresses files for distribution disks and expands them again.
//
//   szdd compress IN OUT   (or -c)   OUT named like SETUP.EX_ records the replaced character
//   szdd expand IN OUT     (or -x)
#include "platform/sim/lz/szdd.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

int usage() {
    std::fprintf(stderr, "usage: szdd compress IN OUT\n       szdd expand IN OUT\n"
                         "(-c and -x are short for compress and expand)\n");
    return 2;
}

int fail(const std::string& path, const std::string& what) {
    std::fprintf(stderr, "szdd: %s: %s\n", path.c_str(), what.c_str());
    return 1;
}

FilePtr open_file(const std::string& path, const char* mode) {
    return FilePtr(std::fopen(path.c_str(), mode), &std::fclose);
}

bool read_whole(std::FILE* f, std::vector<std::uint8_t>& out) {
    std::uint8_t buf[1 << 16];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.insert(out.end(), buf, buf + n);
    return !std::ferror(f);
}

void discard(FilePtr out, const std::string& path) {
    out.reset();
    std::remove(path.c_str());
}

// Closes a completely written OUT; an output that failed to write or close is removed.
int finish_output(FilePtr out, const std::string& path, bool written) {
    const bool closed = std::fclose(out.release()) == 0;
    if (written && closed) return 0;
    const int saved = errno;
    std::remove(path.c_str());
    return fail(path, std::strerror(saved));
}

int compress(const std::string& in_path, const std::string& out_path) {
    FilePtr in = open_file(in_path, "rb");
    if (!in) return fail(in_path, std::strerror(errno));
    std::vector<std::uint8_t> data;
    if (!read_whole(in.get(), data)) return fail(in_path, "read error");
    if (data.size() > 0xFFFFFFFFu) return fail(in_path, "too large for the format (4 GB at most)");
    const std::vector<std::uint8_t> packed =
        sim::szdd::compress(data, sim::szdd::missing_character(in_path, out_path));
    FilePtr out = open_file(out_path, "wb");
    if (!out) return fail(out_path, std::strerror(errno));
    const bool ok = std::fwrite(packed.data(), 1, packed.size(), out.get()) == packed.size();
    return finish_output(std::move(out), out_path, ok);
}

int expand(const std::string& in_path, const std::string& out_path) {
    FilePtr in = open_file(in_path, "rb");
    if (!in) return fail(in_path, std::strerror(errno));
    FilePtr out = open_file(out_path, "wb");
    if (!out) return fail(out_path, std::strerror(errno));
    auto source = [&](std::uint8_t* buf, std::size_t size) -> long {
        const std::size_t n = std::fread(buf, 1, size, in.get());
        return n == 0 && std::ferror(in.get()) ? -1 : static_cast<long>(n);
    };
    auto sink = [&](const std::uint8_t* data, std::size_t size) {
        return std::fwrite(data, 1, size, out.get()) == size;
    };
    const sim::szdd::Result r = sim::szdd::expand_stream(source, sink);
    const std::string& blamed = r == sim::szdd::Result::WriteError ? out_path : in_path;
    if (r != sim::szdd::Result::Ok) {
        discard(std::move(out), out_path);
        return fail(blamed, sim::szdd::describe(r));
    }
    return finish_output(std::move(out), out_path, true);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) return usage();
    const std::string verb = argv[1];
    if (verb == "compress" || verb == "-c") return compress(argv[2], argv[3]);
    if (verb == "expand" || verb == "-x") return expand(argv[2], argv[3]);
    return usage();
}

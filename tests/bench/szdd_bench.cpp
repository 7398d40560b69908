// SZDD expansion and compression, side by side with a reference in each run: libmspack's SZDD
// decompressor for expansion (memory to memory and file to file), the mscompress tool for compression.
// Each benchmark times both and reports their throughputs and the ratio.
#include "platform/sim/lz/szdd.h"

#include <benchmark/benchmark.h>
#include <mspack.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

namespace {

// 10 MB in 64 KB pieces taking turns: prose, binary tables, runs, random bytes.
Bytes mixed_corpus() {
    static const char* words[] = {"the",    "keyboard", "layout", "Cyrillic", "font",   "install",
                                  "window", "setup",    "of",     "and",      "system", "file"};
    std::mt19937 rng(2026);
    Bytes out;
    const std::size_t total = 10u << 20, piece = 64u << 10;
    for (unsigned kind = 0; out.size() < total; kind = (kind + 1) % 4) {
        const std::size_t end = std::min(total, out.size() + piece);
        while (out.size() < end) {
            switch (kind) {
            case 0: {
                const char* w = words[rng() % 12];
                out.insert(out.end(), w, w + std::strlen(w));
                out.push_back(rng() % 9 == 0 ? '\n' : ' ');
                break;
            }
            case 1: { // records of small integers and pointers, as in executables
                const std::uint32_t v = 0x00401000u + (rng() % 4096) * 16;
                for (int k = 0; k < 4; ++k)
                    out.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
                out.push_back(static_cast<std::uint8_t>(rng() % 4));
                out.push_back(0);
                break;
            }
            case 2:
                out.insert(out.end(), 1 + rng() % 300, static_cast<std::uint8_t>(rng() % 3));
                break;
            default:
                out.push_back(static_cast<std::uint8_t>(rng()));
                break;
            }
        }
        out.resize(end);
    }
    return out;
}

struct Fixture {
    Bytes plain = mixed_corpus();
    Bytes packed = sim::szdd::compress(plain);
    fs::path dir;
    fs::path plain_file, packed_file;

    Fixture() {
        char tmpl[] = "/tmp/szdd-bench-XXXXXX";
        dir = mkdtemp(tmpl);
        plain_file = dir / "corpus.bin";
        packed_file = dir / "corpus.bi_";
        write(plain_file, plain);
        write(packed_file, packed);
    }
    ~Fixture() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    static void write(const fs::path& p, const Bytes& b) {
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<long>(b.size()));
    }
    static Bytes read(const fs::path& p) {
        Bytes out(fs::file_size(p));
        std::ifstream(p, std::ios::binary)
            .read(reinterpret_cast<char*>(out.data()), static_cast<long>(out.size()));
        return out;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// Wall-clock time and CPU time of this process (or of its finished children, for the tool). The machine
// running the benchmark may be shared, so the CPU times are the fair comparison; both are reported.
struct Span {
    double wall = 0, cpu = 0;
};

double cpu_seconds(int who) {
    rusage ru{};
    getrusage(who, &ru);
    auto secs = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return secs(ru.ru_utime) + secs(ru.ru_stime);
}

template <typename F>
void timed(Span& total, int who, F&& work) {
    const auto wall = Clock::now();
    const double cpu = cpu_seconds(who);
    work();
    total.wall += std::chrono::duration<double>(Clock::now() - wall).count();
    total.cpu += cpu_seconds(who) - cpu;
}

// --- libmspack over memory ---

struct MemFile {
    Bytes* data;
    std::size_t pos;
};

struct MemSystem {
    mspack_system sys;
    Bytes* input;
    Bytes* output;
};

mspack_file* mem_open(mspack_system* self, const char* name, int mode) {
    auto* ms = reinterpret_cast<MemSystem*>(self);
    Bytes* target = std::strcmp(name, "in") == 0 ? ms->input : ms->output;
    if (mode == MSPACK_SYS_OPEN_WRITE) target->clear();
    return reinterpret_cast<mspack_file*>(new MemFile{target, 0});
}
void mem_close(mspack_file* f) {
    delete reinterpret_cast<MemFile*>(f);
}
int mem_read(mspack_file* file, void* buf, int bytes) {
    auto* f = reinterpret_cast<MemFile*>(file);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(bytes), f->data->size() - f->pos);
    std::memcpy(buf, f->data->data() + f->pos, n);
    f->pos += n;
    return static_cast<int>(n);
}
int mem_write(mspack_file* file, void* buf, int bytes) {
    auto* f = reinterpret_cast<MemFile*>(file);
    const auto* p = static_cast<const std::uint8_t*>(buf);
    f->data->insert(f->data->end(), p, p + bytes);
    return bytes;
}
int mem_seek(mspack_file* file, off_t offset, int mode) {
    auto* f = reinterpret_cast<MemFile*>(file);
    const off_t base = mode == MSPACK_SYS_SEEK_START ? 0
                       : mode == MSPACK_SYS_SEEK_CUR ? static_cast<off_t>(f->pos)
                                                     : static_cast<off_t>(f->data->size());
    if (base + offset < 0 || base + offset > static_cast<off_t>(f->data->size())) return -1;
    f->pos = static_cast<std::size_t>(base + offset);
    return 0;
}
off_t mem_tell(mspack_file* file) {
    return static_cast<off_t>(reinterpret_cast<MemFile*>(file)->pos);
}
void mem_message(mspack_file*, const char*, ...) {}
void* mem_alloc(mspack_system*, std::size_t bytes) {
    return std::malloc(bytes);
}
void mem_free(void* p) {
    std::free(p);
}
void mem_copy(void* src, void* dst, std::size_t bytes) {
    std::memcpy(dst, src, bytes);
}

bool mspack_expand_memory(Bytes& input, Bytes& output) {
    MemSystem ms{{mem_open, mem_close, mem_read, mem_write, mem_seek, mem_tell, mem_message, mem_alloc,
                  mem_free, mem_copy, nullptr},
                 &input,
                 &output};
    output.reserve(fixture().plain.size());
    msszdd_decompressor* d = mspack_create_szdd_decompressor(&ms.sys);
    const int err = d->decompress(d, "in", "out");
    mspack_destroy_szdd_decompressor(d);
    return err == MSPACK_ERR_OK;
}

bool mspack_expand_file(const fs::path& in, const fs::path& out) {
    msszdd_decompressor* d = mspack_create_szdd_decompressor(nullptr);
    const int err = d->decompress(d, in.c_str(), out.c_str());
    mspack_destroy_szdd_decompressor(d);
    return err == MSPACK_ERR_OK;
}

bool our_expand_file(const fs::path& in, const fs::path& out) {
    std::FILE* src = std::fopen(in.c_str(), "rb");
    std::FILE* dst = std::fopen(out.c_str(), "wb");
    if (!src || !dst) return false;
    auto source = [&](std::uint8_t* buf, std::size_t size) -> long {
        const std::size_t n = std::fread(buf, 1, size, src);
        return n == 0 && std::ferror(src) ? -1 : static_cast<long>(n);
    };
    auto sink = [&](const std::uint8_t* p, std::size_t n) { return std::fwrite(p, 1, n, dst) == n; };
    const bool ok = sim::szdd::expand_stream(source, sink) == sim::szdd::Result::Ok;
    std::fclose(src);
    return std::fclose(dst) == 0 && ok;
}

void report(benchmark::State& state, const Span& ours, const Span& theirs, std::size_t bytes) {
    const double mb = static_cast<double>(bytes) / 1e6 * static_cast<double>(state.iterations());
    state.counters["ours_MB/s"] = mb / ours.cpu;
    state.counters["ref_MB/s"] = mb / theirs.cpu;
    state.counters["speedup"] = theirs.cpu / ours.cpu;
    state.counters["speedup_wall"] = theirs.wall / ours.wall;
}

void BM_ExpandMemory(benchmark::State& state) {
    Fixture& f = fixture();
    Bytes out, ref_out;
    Span ours, theirs;
    bool ok = true;
    for (auto _ : state) {
        timed(ours, RUSAGE_SELF, [&] { ok &= sim::szdd::expand(f.packed, out) == sim::szdd::Result::Ok; });
        timed(theirs, RUSAGE_SELF, [&] { ok &= mspack_expand_memory(f.packed, ref_out); });
    }
    if (!ok) state.SkipWithError("an expansion failed");
    if (out != f.plain || ref_out != f.plain) state.SkipWithError("expanded data differs");
    report(state, ours, theirs, f.plain.size());
}

void BM_ExpandFile(benchmark::State& state) {
    Fixture& f = fixture();
    Span ours, theirs;
    bool ok = true;
    for (auto _ : state) {
        timed(ours, RUSAGE_SELF, [&] { ok &= our_expand_file(f.packed_file, f.dir / "ours.out"); });
        timed(theirs, RUSAGE_SELF, [&] { ok &= mspack_expand_file(f.packed_file, f.dir / "ref.out"); });
    }
    if (!ok) state.SkipWithError("an expansion failed");
    if (Fixture::read(f.dir / "ours.out") != f.plain || Fixture::read(f.dir / "ref.out") != f.plain)
        state.SkipWithError("expanded files differ");
    report(state, ours, theirs, f.plain.size());
}

// File to file for both: ours reads, compresses and writes; the tool is started on a copy of the file.
void BM_Compress(benchmark::State& state) {
    Fixture& f = fixture();
    if (std::system("command -v mscompress >/dev/null 2>&1") != 0) {
        state.SkipWithError("mscompress is not installed");
        return;
    }
    const fs::path tool_in = f.dir / "tool.bin";
    Span ours, theirs;
    std::size_t our_size = 0, tool_size = 0;
    bool ok = true;
    for (auto _ : state) {
        timed(ours, RUSAGE_SELF, [&] {
            const Bytes packed = sim::szdd::compress(Fixture::read(f.plain_file));
            Fixture::write(f.dir / "ours.bi_", packed);
            our_size = packed.size();
        });
        fs::copy_file(f.plain_file, tool_in, fs::copy_options::overwrite_existing);
        timed(theirs, RUSAGE_CHILDREN,
              [&] { ok &= std::system(("mscompress " + tool_in.string()).c_str()) == 0; });
        tool_size = fs::file_size(f.dir / "tool.bin_");
        fs::remove(f.dir / "tool.bin_");
    }
    if (!ok) state.SkipWithError("mscompress failed");
    Bytes back;
    if (sim::szdd::expand(Fixture::read(f.dir / "ours.bi_"), back) != sim::szdd::Result::Ok ||
        back != f.plain)
        state.SkipWithError("our output does not expand to the input");
    report(state, ours, theirs, f.plain.size());
    state.counters["ours_bytes"] = static_cast<double>(our_size);
    state.counters["ref_bytes"] = static_cast<double>(tool_size);
    state.counters["size_ratio"] = static_cast<double>(our_size) / static_cast<double>(tool_size);
}

} // namespace

BENCHMARK(BM_ExpandMemory)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ExpandFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Compress)->Unit(benchmark::kMillisecond)->Iterations(1);

// The LZ expansion library over the simulated kernel's file calls. A compressed file opened through the
// library gets an LZ handle of its own, which reads as the expanded content; a plain file keeps its
// kernel handle and reads unchanged.
#include "platform/sim/kernel/files.h"
#include "platform/sim/lz/szdd.h"
#include "platform/sim/win/windows.h"

#include <array>
#include <cctype>
#include <cstring>
#include <memory>
#include <string>

namespace sim {
namespace {

// As many expanding files as the library keeps open at once.
constexpr std::size_t kMaxLzFiles = 16;
constexpr std::size_t kCopyChunk = 1 << 16;
constexpr std::size_t kStateBytes = 4096; // the window a state holds

struct LzFile {
    HFILE file = HFILE_ERROR;   // the kernel file holding the compressed data
    std::uint32_t position = 0; // where the next LZRead starts in the expanded content
    std::unique_ptr<szdd::Expander> expander;
    // The state's share of global memory, so that the machine's allocation failures reach the library.
    HGLOBAL memory = nullptr;
};

std::array<std::unique_ptr<LzFile>, kMaxLzFiles>& lz_files() {
    static std::array<std::unique_ptr<LzFile>, kMaxLzFiles> files;
    return files;
}

// LZ handles lie just above 0x400 as on Win32, but skip the multiples of four: the kernel's handles are
// multiples of four, and an LZ handle must never be mistaken for a kernel file.
constexpr INT kLzHandleBase = 0x400;

INT handle_of_slot(std::size_t slot) {
    INT h = kLzHandleBase;
    for (std::size_t k = 0;; ++h)
        if ((h & 3) != 0 && k++ == slot) return h;
}

LzFile* lz_file(INT h) {
    for (std::size_t slot = 0; slot < kMaxLzFiles; ++slot)
        if (handle_of_slot(slot) == h) return lz_files()[slot].get();
    return nullptr;
}

// A free slot; one whose kernel file went away (the process left its machine) counts as free.
std::unique_ptr<LzFile>* free_slot(INT& handle) {
    auto& files = lz_files();
    for (std::size_t slot = 0; slot < kMaxLzFiles; ++slot) {
        if (files[slot] && file_entry(files[slot]->file)) continue;
        // A state left from an earlier machine: its memory went with that machine, so it is not freed.
        files[slot].reset();
        handle = handle_of_slot(slot);
        return &files[slot];
    }
    return nullptr;
}

void release(INT h) {
    for (std::size_t slot = 0; slot < kMaxLzFiles; ++slot) {
        auto& f = lz_files()[slot];
        if (handle_of_slot(slot) != h || !f) continue;
        GlobalFree(f->memory);
        f.reset();
    }
}

szdd::Source source_of(HFILE file) {
    return [file](std::uint8_t* buffer, std::size_t size) -> long {
        const UINT got = _lread(file, buffer, static_cast<UINT>(size));
        return got == static_cast<UINT>(HFILE_ERROR) ? -1 : static_cast<long>(got);
    };
}

// Reads the header of FILE from its start. 1 with HEADER filled for a compressed file, 0 for a plain one
// (the file is left at its start), or an LZERROR_* code.
INT read_header(HFILE file, szdd::Header& header) {
    if (_llseek(file, 0, FILE_BEGIN) == HFILE_ERROR) return LZERROR_BADINHANDLE;
    std::uint8_t head[szdd::kHeaderSize];
    const UINT got = _lread(file, head, sizeof head);
    if (got == static_cast<UINT>(HFILE_ERROR)) return LZERROR_READ;
    switch (szdd::parse_header({head, got}, header)) {
    case szdd::Result::Ok:
        return 1;
    case szdd::Result::UnknownAlgorithm:
        return LZERROR_UNKNOWNALG;
    default:
        _llseek(file, 0, FILE_BEGIN);
        return 0;
    }
}

// Brings the expander to the file's read position: forward by skipping, backward by starting over.
bool position_expander(LzFile& f) {
    szdd::Expander& e = *f.expander;
    if (e.position() == f.position && e.status() == szdd::Result::Ok) return true;
    if (e.position() > f.position || e.status() != szdd::Result::Ok) {
        if (_llseek(f.file, static_cast<LONG>(szdd::kHeaderSize), FILE_BEGIN) == HFILE_ERROR) return false;
        e.restart();
    }
    return e.skip(source_of(f.file), f.position - e.position());
}

// Expanded bytes at the read position; the count, or -1 when the data is corrupt or cannot be read.
long read_expanded(LzFile& f, std::uint8_t* out, std::size_t size) {
    if (!position_expander(f)) return -1;
    const std::size_t got = f.expander->read(source_of(f.file), out, size);
    f.position += static_cast<std::uint32_t>(got);
    if (got == 0 && size > 0 && f.expander->status() != szdd::Result::Ok) return -1;
    return static_cast<long>(got);
}

// A destination must be an open kernel file; one opened without write access fails at the first write.
bool is_open_file(INT h) {
    return !lz_file(h) && file_entry(static_cast<HFILE>(h)) != nullptr;
}

// The name the library also tries for a file that is not found: the last character of a three-letter
// extension replaced by "_", "_" added to a shorter one, "._" added to a name without extension.
std::string compressed_name(const std::string& name) {
    const std::size_t base = name.find_last_of("\\:") == std::string::npos ? 0 : name.find_last_of("\\:") + 1;
    const std::size_t dot = name.find('.', base);
    if (dot == std::string::npos) return name + "._";
    if (name.size() - dot - 1 < 3) return name + "_";
    std::string out = name;
    out.back() = '_';
    return out;
}

// The expanded form of a compressed file's name: its final "_" becomes the recorded character, in the
// letter case of the name.
std::string expanded_name(std::string name, char missing) {
    const std::size_t base = name.find_last_of("\\:") == std::string::npos ? 0 : name.find_last_of("\\:") + 1;
    for (std::size_t k = name.size(); k-- > 0;) {
        const unsigned char c = static_cast<unsigned char>(name[k]);
        if (!std::isalpha(c)) continue;
        const unsigned char m = static_cast<unsigned char>(missing);
        if (std::isalpha(m)) missing = static_cast<char>(std::islower(c) ? std::tolower(m) : std::toupper(m));
        break;
    }
    const std::size_t dot = name.find('.', base);
    if (dot == std::string::npos) return name;
    if (dot + 1 == name.size()) return name.substr(0, dot);
    if (name.back() == '_') {
        if (missing) {
            name.back() = missing;
        } else {
            name.pop_back();
        }
    }
    return name;
}

// Copies what FROM reads to DEST through a buffer of global memory; the byte count or an LZERROR_* code.
LONG copy_data(INT from, INT dest) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, kCopyChunk);
    char* buffer = memory ? static_cast<char*>(GlobalLock(memory)) : nullptr;
    if (!buffer) {
        GlobalFree(memory);
        return LZERROR_GLOBALLOC;
    }
    LONG result = 0;
    for (;;) {
        const INT got = LZRead(from, buffer, static_cast<INT>(kCopyChunk));
        if (got < 0) {
            result = LZERROR_READ;
            break;
        }
        if (got == 0) break;
        if (_lwrite(static_cast<HFILE>(dest), buffer, static_cast<UINT>(got)) != static_cast<UINT>(got)) {
            result = LZERROR_WRITE;
            break;
        }
        result += got;
    }
    GlobalUnlock(memory);
    GlobalFree(memory);
    return result;
}

} // namespace
} // namespace sim

INT WINAPI LZStart(void) {
    return 1;
}

void WINAPI LZDone(void) {}

INT WINAPI LZInit(INT source) {
    if (sim::lz_file(source)) return source;
    const HFILE file = static_cast<HFILE>(source);
    sim::szdd::Header header;
    const INT kind = sim::read_header(file, header);
    if (kind <= 0) return kind < 0 ? kind : source;
    INT handle = 0;
    auto* slot = sim::free_slot(handle);
    if (!slot) return LZERROR_GLOBALLOC;
    auto f = std::make_unique<sim::LzFile>();
    f->memory = GlobalAlloc(GMEM_MOVEABLE, sim::kStateBytes);
    if (!f->memory) return LZERROR_GLOBALLOC;
    f->file = file;
    f->expander = std::make_unique<sim::szdd::Expander>(header.length);
    *slot = std::move(f);
    return handle;
}

INT WINAPI LZOpenFileA(LPSTR name, LPOFSTRUCT ofs, WORD style) {
    if (!name || !ofs) return LZERROR_BADINHANDLE;
    HFILE file = OpenFile(name, ofs, style);
    if (file == HFILE_ERROR && !(style & (OF_CREATE | OF_PARSE | OF_DELETE)))
        file = OpenFile(sim::compressed_name(name).c_str(), ofs, style);
    if (file == HFILE_ERROR) return LZERROR_BADINHANDLE;
    // Only a file opened for reading alone is expanded; the share mode bits do not matter.
    if ((style & ~0x70u) != OF_READ) return file;
    const INT lz = LZInit(file);
    return lz > 0 ? lz : file;
}

INT WINAPI LZRead(INT h, LPSTR buffer, INT count) {
    sim::LzFile* f = sim::lz_file(h);
    if (!f) return static_cast<INT>(_lread(static_cast<HFILE>(h), buffer, static_cast<UINT>(count)));
    if (count < 0 || (!buffer && count)) return LZERROR_BADVALUE;
    const long got =
        sim::read_expanded(*f, reinterpret_cast<std::uint8_t*>(buffer), static_cast<std::size_t>(count));
    return got < 0 ? LZERROR_READ : static_cast<INT>(got);
}

LONG WINAPI LZSeek(INT h, LONG offset, INT origin) {
    sim::LzFile* f = sim::lz_file(h);
    if (!f) return _llseek(static_cast<HFILE>(h), offset, origin);
    // From the end the offset counts backwards, into the file: the library has always done so.
    const std::int64_t length = f->expander->length();
    std::int64_t target = -1;
    if (origin == FILE_BEGIN) target = offset;
    if (origin == FILE_CURRENT) target = static_cast<std::int64_t>(f->position) + offset;
    if (origin == FILE_END) target = length - offset;
    if (target < 0 || target > length) return LZERROR_BADVALUE;
    f->position = static_cast<std::uint32_t>(target);
    return static_cast<LONG>(target);
}

LONG WINAPI LZCopy(INT source, INT dest) {
    const INT from = LZInit(source);
    if (from < 0) return from;
    const bool own_state = from != source;
    const LONG result = sim::is_open_file(dest) ? sim::copy_data(from, dest) : LZERROR_BADOUTHANDLE;
    // A kernel file that had to be wrapped for expansion is closed with its wrapper, as Wine's library
    // does; the caller's later close of it fails harmlessly.
    if (own_state) LZClose(from);
    return result;
}

LONG WINAPI CopyLZFile(INT source, INT dest) {
    return LZCopy(source, dest);
}

void WINAPI LZClose(INT h) {
    if (sim::LzFile* f = sim::lz_file(h)) {
        _lclose(f->file);
        sim::release(h);
        return;
    }
    _lclose(static_cast<HFILE>(h));
}

INT WINAPI GetExpandedNameA(LPSTR source, LPSTR buffer) {
    if (!source || !buffer) return LZERROR_BADVALUE;
    OFSTRUCT ofs{};
    const HFILE file = OpenFile(source, &ofs, OF_READ);
    if (file == HFILE_ERROR) return LZERROR_BADINHANDLE;
    sim::szdd::Header header;
    const INT kind = sim::read_header(file, header);
    _lclose(file);
    const std::string name = kind > 0 ? sim::expanded_name(source, header.missing) : std::string(source);
    // The expanded name is never longer than the source name, which is what the caller's buffer holds.
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return 1;
}

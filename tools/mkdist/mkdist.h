// mkdist: builds the distribution disks from a distribution folder.
//
// The folder holds setup1.inf and files.txt, the manifest of every file of the distribution: one line
// "NAME SOURCE [DISK] [plain]" for each, where SOURCE is
//   stub:PROGRAM     a program stub of the simulator naming the host program (or "none"); with
//                    --windows, stub:setup and stub:tnsetup take the real PE builds instead, and every
//                    other stub the Windows test program execlog.exe, which records its command line;
//   font:HOSTPATH    a font file of the build machine;
//   file:RELPATH     a file of the distribution folder;
//   generated:BYTES  deterministic filler of that many bytes.
// DISK is needed only for files that setup1.inf does not place (the loader, setup1.inf itself, the
// product settings file); "plain" keeps a file uncompressed. Every other file is stored in SZDD form
// under its compressed name, on each disk that setup1.inf gives it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace mkdist {

// ---- setup1.inf, read the way the setup programs read it

struct IniSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries; // in file order, first of a key counts
};

struct Ini {
    std::vector<IniSection> sections;
    const IniSection* section(const std::string& name) const;
    // The value of KEY in SECTION; nullptr when either is missing.
    const std::string* value(const std::string& section, const std::string& key) const;
};

Ini parse_ini(const std::string& text);

// Field N (from 1) of a comma list: blanks after a comma are skipped, blanks before it kept. False when
// the list has fewer fields.
bool list_field(const std::string& list, int n, std::string& out);

// The name under which a file lies compressed: the last character of the extension becomes "_", a name
// without extension gets "._".
std::string compressed_name(const std::string& name);

// ---- what setup1.inf asks of the disks

struct FileRef {
    std::string file;    // as written in setup1.inf
    std::string disk;    // disk number
    std::string section; // where it was named, for messages
};

// Every file that setup1.inf places on a disk, in file order.
std::vector<FileRef> referenced_files(const Ini& ini);

// Every disk number named anywhere in setup1.inf's file entries.
std::vector<std::string> disk_numbers(const Ini& ini);

// The byte counts of section "volume", from the expanded size of each file (SIZES, keyed by the name in
// upper case); DISK_CONTENT, the expanded size of everything on the disks, is the count of "NET".
std::map<std::string, std::uint64_t>
volume_sizes(const Ini& ini, const std::map<std::string, std::uint64_t>& sizes, std::uint64_t disk_content);

// The text of setup1.inf with the keys of section "volume" set to SIZES (missing keys are added to the
// end of the section; the rest of the file is kept byte for byte).
std::string with_volume(const std::string& text, const std::map<std::string, std::uint64_t>& sizes);

// ---- the manifest and the build

struct ManifestEntry {
    std::string name;
    std::string source;
    std::string disk; // empty: the disks that setup1.inf gives
    bool plain = false;
    int line = 0;
};

bool parse_manifest(const std::string& text, std::vector<ManifestEntry>& out, std::string& error);

struct Options {
    std::string windows_build; // empty: the simulator's program stubs
};

// Builds OUT_DIR (OUT_DIR/disk1, OUT_DIR/disk2, ...) from SOURCE_DIR. On failure ERROR tells why and
// OUT_DIR is left as it was.
bool build(const std::string& source_dir, const std::string& out_dir, const Options& options,
           std::string& error);

// The bytes of a "generated:" file: deterministic, a little compressible, different for each name.
std::string generated_bytes(const std::string& name, std::uint64_t size);

} // namespace mkdist

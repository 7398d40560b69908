#include "tools/mkdist/mkdist.h"

#include "platform/sim/shell/internal.h"
#include "platform/sim/lz/szdd.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace mkdist {

namespace {

std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool same_name(const std::string& a, const std::string& b) {
    return upper(a) == upper(b);
}

bool starts_with_nocase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && same_name(s.substr(0, prefix.size()), prefix);
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// The sections whose keys are file names and whose values are disk numbers.
const char* const kFileListSections[] = {"windows.system",
                                         "windows",
                                         "uninstall.tarno",
                                         "programfiles.tarno",
                                         "programfiles.system",
                                         "programfiles.windows",
                                         "application",
                                         "applications.system",
                                         "tdk"};

// The screen, plotter and printer font sections; their values are "file,disk,registry name".
const char* const kFontFamilies[] = {"helv.1251", "tmsr.1251", "small.1251", "cour.1251"};

// The DOS-window font stems: each gives STEM + code-page part + ".fon"; "app" is the application font.
const char* const kDosFontStems[] = {"EGA80", "EGA40", "CGA80", "CGA40", "app"};

// The sections whose every entry is "file,disk" in fields FILE and FILE+1.
struct KeyedSection {
    std::string name;
    int file_field;
};

std::vector<KeyedSection> keyed_sections(const Ini& ini) {
    std::vector<KeyedSection> out = {
        {"default.setup", 4}, {"Keyboard Layouts", 2}, {"oemansi", 1}, {"TTF.1251", 1}};
    for (const char* f : kFontFamilies)
        out.push_back({f, 1});
    for (const auto& s : ini.sections)
        if (starts_with_nocase(s.name, "sysfonts.") || starts_with_nocase(s.name, "fixedfonts."))
            out.push_back({s.name, 1});
    // "oemfonts" names, for each DOS code page, the section that lists its fonts.
    if (const IniSection* oem = ini.section("oemfonts"))
        for (const auto& [cp, named] : oem->entries)
            if (ini.section(named)) out.push_back({named, 1});
    return out;
}

void add_keyed_refs(const Ini& ini, const KeyedSection& k, std::vector<FileRef>& out) {
    const IniSection* s = ini.section(k.name);
    if (!s) return;
    for (const auto& [key, value] : s->entries) {
        std::string file, disk;
        if (!list_field(value, k.file_field, file) || file.empty()) continue;
        list_field(value, k.file_field + 1, disk);
        out.push_back({file, disk, s->name});
    }
}

void add_dos_font_refs(const Ini& ini, std::vector<FileRef>& out) {
    const IniSection* s = ini.section("VGA.GR3");
    if (!s) return;
    for (const auto& [cp, value] : s->entries) {
        std::string part, disk;
        if (!list_field(value, 1, part) || part.empty()) continue;
        list_field(value, 2, disk);
        for (const char* stem : kDosFontStems)
            out.push_back({stem + part + ".fon", disk, s->name});
    }
}

std::uint64_t size_of(const std::map<std::string, std::uint64_t>& sizes, const std::string& file) {
    auto it = sizes.find(upper(file));
    return it == sizes.end() ? 0 : it->second;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// setup1.inf

const IniSection* Ini::section(const std::string& name) const {
    for (const auto& s : sections)
        if (same_name(s.name, name)) return &s;
    return nullptr;
}

const std::string* Ini::value(const std::string& section_name, const std::string& key) const {
    const IniSection* s = section(section_name);
    if (!s) return nullptr;
    for (const auto& [k, v] : s->entries)
        if (same_name(k, key)) return &v;
    return nullptr;
}

Ini parse_ini(const std::string& text) {
    Ini ini;
    IniSection* current = nullptr;
    for (const std::string& raw : lines_of(text)) {
        std::string line = trim(raw);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            std::string name =
                trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            // A section that stands twice continues where it was.
            current = const_cast<IniSection*>(ini.section(name));
            if (!current) {
                ini.sections.push_back({name, {}});
                current = &ini.sections.back();
            }
            continue;
        }
        if (!current) continue;
        size_t eq = line.find('=');
        std::string key = trim(line.substr(0, eq));
        std::string value = eq == std::string::npos ? "" : trim(line.substr(eq + 1));
        bool seen = std::any_of(current->entries.begin(), current->entries.end(),
                                [&](const auto& e) { return same_name(e.first, key); });
        if (!seen) current->entries.emplace_back(key, value);
    }
    return ini;
}

bool list_field(const std::string& list, int n, std::string& out) {
    int field = 1;
    size_t start = 0;
    for (size_t i = 0;; ++i) {
        if (i == list.size() || list[i] == ',') {
            if (field == n) {
                out = list.substr(start, i - start);
                return true;
            }
            if (i == list.size()) return false;
            ++field;
            start = i + 1;
            while (start < list.size() && list[start] == ' ')
                ++start;
            i = start - 1;
        }
    }
}

std::string compressed_name(const std::string& name) {
    size_t base = name.find_last_of("\\/:");
    base = base == std::string::npos ? 0 : base + 1;
    size_t dot = name.find('.', base);
    if (dot == std::string::npos) return name + "._";
    if (name.size() - dot >= 2) return name.substr(0, name.size() - 1) + "_";
    return name + "_"; // "name." has an extension of the dot alone
}

std::vector<FileRef> referenced_files(const Ini& ini) {
    std::vector<FileRef> out;
    for (const char* name : kFileListSections)
        if (const IniSection* s = ini.section(name))
            for (const auto& [file, disk] : s->entries)
                out.push_back({file, disk, s->name});
    for (const auto& k : keyed_sections(ini))
        add_keyed_refs(ini, k, out);
    add_dos_font_refs(ini, out);
    return out;
}

std::vector<std::string> disk_numbers(const Ini& ini) {
    std::vector<std::string> out;
    for (const auto& r : referenced_files(ini))
        if (std::find(out.begin(), out.end(), r.disk) == out.end()) out.push_back(r.disk);
    return out;
}

// Each key counts the files that its component installs. Where setup1.inf offers alternatives of which
// one installation takes a single one (the fonts of each code page, the language library of each
// country), the largest alternative counts, so that the check never asks for less than is copied.
std::map<std::string, std::uint64_t>
volume_sizes(const Ini& ini, const std::map<std::string, std::uint64_t>& sizes, std::uint64_t disk_content) {
    auto files_of = [&](const char* section) {
        std::uint64_t sum = 0;
        if (const IniSection* s = ini.section(section))
            for (const auto& [file, disk] : s->entries)
                sum += size_of(sizes, file);
        return sum;
    };
    auto item = [&](const std::string& section, const std::string& key, int field) -> std::uint64_t {
        const std::string* v = ini.value(section, key);
        std::string file;
        return v && list_field(*v, field, file) ? size_of(sizes, file) : 0;
    };
    // The largest over the entries of SECTION of the files that PICK gives for an entry.
    auto largest = [&](const char* section, auto pick) {
        std::uint64_t best = 0;
        if (const IniSection* s = ini.section(section))
            for (const auto& [key, value] : s->entries)
                best = std::max<std::uint64_t>(best, pick(key, value));
        return best;
    };
    auto field_size = [&](int field) {
        return [&sizes, field](const std::string&, const std::string& value) {
            std::string file;
            return list_field(value, field, file) ? size_of(sizes, file) : 0;
        };
    };
    auto largest_of_prefix = [&](const std::string& prefix, const std::string& key) {
        std::uint64_t best = 0;
        for (const auto& s : ini.sections)
            if (starts_with_nocase(s.name, prefix)) best = std::max(best, item(s.name, key, 1));
        return best;
    };
    auto family_sum = [&](const std::string& key) {
        std::uint64_t sum = 0;
        for (const char* f : kFontFamilies)
            sum += item(f, key, 1);
        return sum;
    };

    std::map<std::string, std::uint64_t> v;
    v["UNINSTFILES"] = files_of("uninstall.tarno");
    v["PROGFILES"] = files_of("programfiles.tarno");
    v["APPLIC"] = files_of("application") + files_of("applications.system");
    v["TDK"] = files_of("tdk");
    v["WINSPACE"] = files_of("programfiles.system") + files_of("programfiles.windows") +
                    largest("oemansi", field_size(1)) + largest("default.setup", field_size(4));
    for (const char* key : {"ALL", "PR2", "PR9"})
        v[key] = family_sum(key);
    std::uint64_t ttf = 0;
    if (const IniSection* s = ini.section("TTF.1251"))
        for (const auto& [name, value] : s->entries)
            ttf += field_size(1)(name, value);
    v["TTF"] = ttf;
    for (const char* res : {"HI1", "HI2", "HI4"}) {
        std::uint64_t oem = largest(
            "oemfonts", [&](const std::string&, const std::string& named) { return item(named, res, 1); });
        v[res] = largest_of_prefix("sysfonts.", res) + largest_of_prefix("fixedfonts.", res) + oem +
                 family_sum(res);
    }
    v["OEM"] = largest("VGA.GR3", [&](const std::string&, const std::string& value) {
        std::string part;
        std::uint64_t sum = 0;
        if (list_field(value, 1, part) && !part.empty())
            for (const char* stem : kDosFontStems)
                sum += size_of(sizes, stem + part + ".fon");
        return sum;
    });
    std::uint64_t layouts = 0;
    if (const IniSection* s = ini.section("Keyboard Layouts"))
        for (const auto& [name, value] : s->entries)
            layouts += field_size(2)(name, value);
    v["WINOTHER"] = files_of("windows.system") + files_of("windows") + size_of(sizes, "tarno.ini") + layouts;
    v["NET"] = disk_content;
    return v;
}

std::string with_volume(const std::string& text, const std::map<std::string, std::uint64_t>& sizes) {
    std::string out;
    std::set<std::string> written;
    bool in_volume = false;
    auto add_missing = [&] {
        for (const auto& [key, n] : sizes)
            if (!written.count(key)) out += key + "=" + std::to_string(n) + "\r\n";
        written.clear();
        for (const auto& [key, n] : sizes)
            written.insert(key);
    };
    bool volume_done = false;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        bool cr = !line.empty() && line.back() == '\r';
        if (cr) line.pop_back();
        std::string t = trim(line);
        if (!t.empty() && t[0] == '[') {
            if (in_volume && !volume_done) {
                add_missing();
                volume_done = true;
            }
            size_t close = t.find(']');
            in_volume = same_name(
                trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1)), "volume");
        } else if (in_volume && !volume_done && !t.empty() && t[0] != ';') {
            std::string key = upper(trim(t.substr(0, t.find('='))));
            if (sizes.count(key) && !written.count(key)) {
                line = trim(t.substr(0, t.find('='))) + "=" + std::to_string(sizes.at(key));
                written.insert(key);
            }
        }
        out += line + (cr ? "\r\n" : "\n");
    }
    if (in_volume && !volume_done) add_missing();
    if (!volume_done && !in_volume) {
        out += "\r\n[volume]\r\n";
        add_missing();
    }
    return out;
}

// ---------------------------------------------------------------------------------------------------
// The manifest

bool parse_manifest(const std::string& text, std::vector<ManifestEntry>& out, std::string& error) {
    out.clear();
    int lineno = 0;
    for (const std::string& raw : lines_of(text)) {
        ++lineno;
        std::string line = trim(raw);
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        ManifestEntry e;
        e.line = lineno;
        words >> e.name >> e.source;
        for (std::string w; words >> w;) {
            if (w == "plain")
                e.plain = true;
            else if (e.disk.empty() &&
                     std::all_of(w.begin(), w.end(), [](char c) { return c >= '0' && c <= '9'; }))
                e.disk = w;
            else {
                error = "files.txt:" + std::to_string(lineno) + ": unknown word '" + w + "'";
                return false;
            }
        }
        // A name is a file of a disk's root: nothing that could lead out of the disk folder.
        if (e.name.find_first_of("/\\:") != std::string::npos || e.name == "." || e.name == "..") {
            error = "files.txt:" + std::to_string(lineno) + ": '" + e.name + "' is not a plain file name";
            return false;
        }
        if (e.source.empty() || e.source.find(':') == std::string::npos) {
            error = "files.txt:" + std::to_string(lineno) + ": expected NAME SOURCE [DISK] [plain]";
            return false;
        }
        for (const auto& other : out)
            if (same_name(other.name, e.name)) {
                error = "files.txt:" + std::to_string(lineno) + ": " + e.name + " is listed twice";
                return false;
            }
        out.push_back(e);
    }
    return true;
}

std::string generated_bytes(const std::string& name, std::uint64_t size) {
    std::string out;
    out.reserve(size);
    std::uint32_t seed = 2166136261u;
    for (char c : name)
        seed = (seed ^ static_cast<unsigned char>(c)) * 16777619u;
    std::minstd_rand random(seed);
    const std::string header = "TARNO " + name + "\r\n";
    while (out.size() < size) {
        // Runs of text with noise between them: compressible, as real program files are, but not trivially.
        if (random() % 3) out += header;
        for (int i = random() % 32; i > 0; --i)
            out += static_cast<char>(random() & 0xFF);
    }
    out.resize(size);
    return out;
}

// ---------------------------------------------------------------------------------------------------
// The build

namespace {

bool read_file(const fs::path& path, std::string& out) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false; // a folder opens, but reads as nothing
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return static_cast<bool>(in) || in.eof();
}

bool write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// The real Windows build of PROGRAM (setup.exe, tnsetup.exe) somewhere under BUILD_DIR.
fs::path find_windows_program(const fs::path& build_dir, const std::string& program) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(build_dir, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory() && it->path().filename() == "CMakeFiles") {
            it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file() && same_name(it->path().filename().string(), program + ".exe"))
            return it->path();
    }
    return {};
}

bool source_bytes(const ManifestEntry& e, const fs::path& dir, const Options& options, std::string& out,
                  std::string& error) {
    size_t colon = e.source.find(':');
    std::string kind = e.source.substr(0, colon), arg = e.source.substr(colon + 1);
    auto missing = [&](const std::string& what) {
        error = "files.txt:" + std::to_string(e.line) + ": " + e.name + ": " + what;
        return false;
    };
    if (kind == "stub") {
        if (!options.windows_build.empty()) {
            // The programs that are not ours become execlog.exe, which records how it was started.
            std::string program = arg == "setup" || arg == "tnsetup" ? arg : "execlog";
            fs::path exe = find_windows_program(options.windows_build, program);
            if (exe.empty() || !read_file(exe, out))
                return missing("no Windows build of " + program + ".exe under " + options.windows_build);
            return true;
        }
        out = sim::program_stub(arg);
        return true;
    }
    if (kind == "font" || kind == "file") {
        fs::path p = kind == "font" ? fs::path(arg) : dir / arg;
        if (!read_file(p, out)) return missing("cannot read " + p.string());
        return true;
    }
    if (kind == "generated") {
        char* end = nullptr;
        unsigned long long n = std::strtoull(arg.c_str(), &end, 10);
        if (arg.empty() || *end || n > (64u << 20))
            return missing("generated:BYTES takes a size up to 64 MB");
        out = generated_bytes(e.name, n);
        return true;
    }
    return missing("unknown source '" + e.source + "'");
}

std::string stored_bytes(const std::string& name, const std::string& bytes, bool plain) {
    if (plain) return bytes;
    std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    auto packed = sim::szdd::compress(data, name.empty() ? 0 : name.back());
    return std::string(packed.begin(), packed.end());
}

struct Disk {
    std::map<std::string, std::string> files;  // stored name -> stored bytes
    std::map<std::string, std::string> owners; // upper-case stored name -> upper-case file name
};

class Builder {
  public:
    Builder(std::string source_dir, const Options& options)
        : dir_(std::move(source_dir)), options_(options) {}

    bool run(const std::string& out_dir, std::string& error) {
        if (!load(error) || !check_disks(error) || !read_sources(error) || !place(error)) return false;
        return write(out_dir, error);
    }

  private:
    bool load(std::string& error) {
        std::string manifest_text;
        if (!read_file(dir_ / "setup1.inf", inf_text_))
            return fail(error, "cannot read " + (dir_ / "setup1.inf").string());
        if (!read_file(dir_ / "files.txt", manifest_text))
            return fail(error, "cannot read " + (dir_ / "files.txt").string());
        ini_ = parse_ini(inf_text_);
        return parse_manifest(manifest_text, manifest_, error);
    }

    static bool fail(std::string& error, const std::string& why) {
        error = why;
        return false;
    }

    bool check_disks(std::string& error) {
        const IniSection* disks = ini_.section("disks");
        for (const auto& r : referenced_files(ini_))
            if (!disks || !ini_.value("disks", r.disk))
                return fail(error, "setup1.inf: [" + r.section + "] puts " + r.file + " on disk '" + r.disk +
                                       "', which has no entry in [disks]");
        for (const auto& e : manifest_)
            if (!e.disk.empty() && (!disks || !ini_.value("disks", e.disk)))
                return fail(error, "files.txt:" + std::to_string(e.line) + ": disk " + e.disk +
                                       " has no entry in [disks]");
        return true;
    }

    bool read_sources(std::string& error) {
        for (const auto& e : manifest_) {
            std::string bytes;
            if (!source_bytes(e, dir_, options_, bytes, error)) return false;
            contents_[upper(e.name)] = std::move(bytes);
        }
        return true;
    }

    const ManifestEntry* entry(const std::string& name) const {
        for (const auto& e : manifest_)
            if (same_name(e.name, name)) return &e;
        return nullptr;
    }

    // Two files whose stored names differ only in case, or that compress to the same name (A.EXE and
    // A.EXX), would overwrite each other on a disk: refused.
    bool put(const std::string& disk, const ManifestEntry& e, const std::string& bytes, std::string& error) {
        std::string stored_name = e.plain ? e.name : compressed_name(e.name);
        auto [owner, fresh] = disks_[disk].owners.emplace(upper(stored_name), upper(e.name));
        if (!fresh && owner->second != upper(e.name))
            return fail(error,
                        e.name + " and another file are both stored as " + stored_name + " on disk " + disk);
        disks_[disk].files[stored_name] = stored_bytes(e.name, bytes, e.plain);
        on_disks_.insert(upper(e.name) + "\n" + disk);
        return true;
    }

    bool place(std::string& error) {
        for (const auto& r : referenced_files(ini_)) {
            const ManifestEntry* e = entry(r.file);
            if (!e)
                return fail(error, "setup1.inf: [" + r.section + "] names " + r.file +
                                       ", which files.txt does not list");
            if (!put(r.disk, *e, contents_[upper(e->name)], error)) return false;
        }
        for (const auto& e : manifest_) {
            if (same_name(e.name, "setup1.inf")) continue; // written last, with its sizes
            if (!e.disk.empty()) {
                if (!put(e.disk, e, contents_[upper(e.name)], error)) return false;
            } else if (!placed(e.name)) {
                return fail(error, "files.txt:" + std::to_string(e.line) + ": setup1.inf places " + e.name +
                                       " on no disk, and no disk is given");
            }
        }
        const ManifestEntry* inf = entry("setup1.inf");
        std::string inf_disk = inf && !inf->disk.empty() ? inf->disk : "1";
        ManifestEntry inf_entry = inf ? *inf : ManifestEntry{"setup1.inf", "file:setup1.inf", "1", false, 0};
        std::uint64_t content = 0;
        for (const auto& key : on_disks_)
            content += contents_[key.substr(0, key.find('\n'))].size();
        std::string final_inf =
            with_volume(inf_text_, volume_sizes(ini_, sizes(), content + inf_text_.size()));
        contents_[upper(inf_entry.name)] = final_inf;
        return put(inf_disk, inf_entry, final_inf, error);
    }

    bool placed(const std::string& name) const {
        std::string prefix = upper(name) + "\n";
        return std::any_of(on_disks_.begin(), on_disks_.end(),
                           [&](const std::string& k) { return k.rfind(prefix, 0) == 0; });
    }

    std::map<std::string, std::uint64_t> sizes() const {
        std::map<std::string, std::uint64_t> out;
        for (const auto& [name, bytes] : contents_)
            out[name] = bytes.size();
        return out;
    }

    // Everything goes into a fresh folder beside OUT_DIR, which replaces OUT_DIR only when complete.
    bool write(const std::string& out_dir, std::string& error) {
        fs::path out = fs::absolute(out_dir);
        fs::path temp =
            out.parent_path() / (out.filename().string() + ".mkdist-" + std::to_string(::getpid()));
        std::error_code ec;
        fs::remove_all(temp, ec);
        bool ok = fs::create_directories(temp, ec);
        for (auto it = disks_.begin(); ok && it != disks_.end(); ++it) {
            fs::path disk = temp / ("disk" + it->first);
            ok = fs::create_directories(disk, ec) && write_file(disk / ("Disk" + it->first), "");
            for (const auto& [name, bytes] : it->second.files)
                ok = ok && write_file(disk / name, bytes);
        }
        // Every file as an installation leaves it, for checking what was installed.
        ok = ok && fs::create_directories(temp / "expanded", ec);
        for (const auto& e : manifest_)
            ok = ok && write_file(temp / "expanded" / e.name, contents_[upper(e.name)]);
        if (ok) {
            fs::remove_all(out, ec);
            fs::rename(temp, out, ec);
            ok = !ec;
        }
        if (!ok) {
            fs::remove_all(temp, ec);
            return fail(error, "cannot write " + out.string());
        }
        return true;
    }

    fs::path dir_;
    Options options_;
    std::string inf_text_;
    Ini ini_;
    std::vector<ManifestEntry> manifest_;
    std::map<std::string, std::string> contents_; // upper-case name -> source bytes
    std::map<std::string, Disk> disks_;
    std::set<std::string> on_disks_; // "NAME\nDISK"
};

} // namespace

bool build(const std::string& source_dir, const std::string& out_dir, const Options& options,
           std::string& error) {
    return Builder(source_dir, options).run(out_dir, error);
}

} // namespace mkdist

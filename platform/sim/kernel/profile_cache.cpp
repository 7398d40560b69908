#include "platform/sim/kernel/profile_cache.h"
#include "platform/sim/machine/machine.h"
#include "platform/sim/machine/textfile.h"

#include <sys/stat.h>
#include <ctime>
#include <unordered_map>

namespace sim {
namespace {

// Host file systems stamp modification times from a coarse clock; a file changed within this long of
// being read may have changed again without a new time.
constexpr long long kTrustAfterNs = 1'000'000'000LL;

struct Stamp {
    long long size = -1;
    long long mtime_ns = 0;
    bool operator==(const Stamp&) const = default;
};

struct Cached {
    Stamp stamp;
    long long read_at_ns = 0;
    std::shared_ptr<const IniDocument> doc;
};

struct Cache {
    std::string machine_dir;                            // the cache belongs to one attached machine
    std::unordered_map<std::string, Cached> files;      // by host path
    std::unordered_map<std::string, std::string> hosts; // full Windows path → host path of the file found
    unsigned long parses = 0;
};

Cache& cache() {
    static Cache c;
    if (c.machine_dir != machine().dir) {
        c.files.clear();
        c.hosts.clear();
        c.machine_dir = machine().dir;
    }
    return c;
}

long long now_ns() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<long long>(ts.tv_sec) * 1'000'000'000LL + ts.tv_nsec;
}

bool stamp_of(const std::string& host, Stamp& out) {
    struct stat st {};
    if (stat(host.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    out.size = static_cast<long long>(st.st_size);
    out.mtime_ns = static_cast<long long>(st.st_mtim.tv_sec) * 1'000'000'000LL + st.st_mtim.tv_nsec;
    return true;
}

bool trusted(const Cached& c, const Stamp& now_stamp) {
    return c.stamp == now_stamp && c.read_at_ns - c.stamp.mtime_ns > kTrustAfterNs;
}

std::shared_ptr<const IniDocument> read_into(Cache& k, const std::string& host, Cached& c) {
    Stamp before;
    std::string text;
    long long at = now_ns();
    if (!stamp_of(host, before) || !read_host_file(host, text)) return nullptr;
    unsigned cp = machine().settings.codepage;
    if (!c.doc || c.doc->text() != text || c.doc->codepage() != cp) {
        c.doc = std::make_shared<const IniDocument>(std::move(text), cp);
        ++k.parses;
    }
    c.stamp = before;
    c.read_at_ns = at;
    return c.doc;
}

// The host file of a full path and its stamp. A look-up costs one stat while the file stays where it was
// found; resolving the name without regard to case takes several.
bool find_file(Cache& k, const std::string& full, std::string& host, Stamp& stamp) {
    auto known = k.hosts.find(full);
    if (known != k.hosts.end() && stamp_of(known->second, stamp)) {
        host = known->second;
        return true;
    }
    host = host_path(full);
    if (known != k.hosts.end()) k.hosts.erase(known);
    if (host.empty() || !stamp_of(host, stamp)) {
        k.files.erase(host);
        return false;
    }
    k.hosts[full] = host;
    return true;
}

} // namespace

std::shared_ptr<const IniDocument> load_profile(const std::string& full) {
    if (full.empty() || fails_read(full)) return nullptr;
    Cache& k = cache();
    std::string host;
    Stamp now_stamp;
    if (!find_file(k, full, host, now_stamp)) return nullptr;
    Cached& c = k.files[host];
    if (c.doc && trusted(c, now_stamp) && c.doc->codepage() == machine().settings.codepage) return c.doc;
    auto doc = read_into(k, host, c);
    if (!doc) k.files.erase(host);
    return doc;
}

bool store_profile(const std::string& full, const std::string& text) {
    if (full.empty() || is_readonly(full) || fails_write(full)) return false;
    std::string host = host_path(full);
    if (host.empty() || !account_write(full, text.size())) return false;
    if (!write_host_file(host, text)) return false;
    // Our own write: keep its parse; while the file's time is fresh the next look-up still reads the
    // file once to compare.
    Cache& k = cache();
    Cached& c = k.files[host];
    c.doc = std::make_shared<const IniDocument>(text, machine().settings.codepage);
    ++k.parses;
    c.read_at_ns = now_ns();
    if (!stamp_of(host, c.stamp)) k.files.erase(host);
    return true;
}

void clear_profile_cache() {
    if (!is_attached()) return;
    cache().files.clear();
    cache().hosts.clear();
    cache().parses = 0;
}

unsigned long profile_parse_count() {
    return cache().parses;
}

} // namespace sim

// The REGEDIT4 reader on arbitrary bytes: whatever it keeps must read back unchanged from its own
// output, and lookups on what it built must hold.
#include "platform/sim/advapi/regfile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

void check_at(bool ok, int line) {
    if (ok) return;
    std::fprintf(stderr, "regedit_fuzz.cpp:%d: check failed\n", line);
    std::abort();
}
#define check(ok) check_at(ok, __LINE__)

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    sim::RegHive hive(size % 2 ? 1251 : 1252);
    std::vector<sim::RegFileError> errors;
    sim::parse_regedit(text, hive, errors);

    std::vector<std::string> path;
    for (std::size_t root = 0; root < hive.roots.size(); ++root) {
        sim::RegKey& top = hive.roots[root];
        for (const auto& sub : top.subkeys) {
            path = {hive.upper(sub->name)};
            check(hive.find_key(root, path) == sub.get());
            for (const sim::RegValue& v : sub->values)
                check(hive.find_value(*sub, hive.upper(v.name)) == &v);
        }
    }

    std::string saved = sim::format_regedit(hive);
    sim::RegHive again(hive.codepage);
    std::vector<sim::RegFileError> again_errors;
    sim::parse_regedit(saved, again, again_errors);
    check(again_errors.empty());
    check(sim::format_regedit(again) == saved);

    if (!hive.roots[2].subkeys.empty()) {
        path = {hive.roots[2].subkeys.front()->name};
        check(hive.remove_key(2, path));
        check(!hive.find_key(2, path));
    }
    return 0;
}

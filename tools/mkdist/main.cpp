// mkdist SOURCE_DIR OUT_DIR [--windows BUILD_DIR]: makes the distribution disks OUT_DIR/disk1, disk2, ...
#include "tools/mkdist/mkdist.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    mkdist::Options options;
    std::string source, out;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--windows" && i + 1 < argc)
            options.windows_build = argv[++i];
        else if (source.empty())
            source = a;
        else if (out.empty())
            out = a;
        else
            source.clear(), i = argc; // too many words: show the usage
    }
    if (source.empty() || out.empty()) {
        std::fprintf(stderr, "usage: mkdist SOURCE_DIR OUT_DIR [--windows BUILD_DIR]\n");
        return 2;
    }
    std::string error;
    if (!mkdist::build(source, out, options, error)) {
        std::fprintf(stderr, "mkdist: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

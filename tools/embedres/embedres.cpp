// Turns a compiled .res file into a C++ source that hands the bytes to the simulator at start-up.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: embedres FILE.res OUT.cpp\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "embedres: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::FILE* out = std::fopen(argv[2], "w");
    if (!out) {
        std::fprintf(stderr, "embedres: cannot write %s\n", argv[2]);
        return 1;
    }
    std::fprintf(out, "#include \"platform/sim/sim.h\"\nnamespace {\nconst unsigned char data[] = {");
    for (size_t i = 0; i < bytes.size(); ++i)
        std::fprintf(out, "%s%u,", i % 24 == 0 ? "\n" : "", bytes[i]);
    std::fprintf(out, "0};\nconst bool registered = sim::register_resources(data, %zu);\n}\n", bytes.size());
    return std::fclose(out) == 0 ? 0 : 1;
}

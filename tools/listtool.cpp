// listtool: scrambles list sources into resources (pack), and on Windows reads (show) or
// changes (set) the lists inside a built executable.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "tools/list_codec.h"
#include "tools/listtool_win.h"

namespace {

int Usage() {
    std::fputs("usage: listtool pack SOURCE RESOURCE\n"
               "       listtool show EXE\n"
               "       listtool set EXE words|messages|library INDEX TEXT\n",
               stderr);
    return 2;
}

int Pack(const char* sourcePath, const char* resourcePath) {
    std::ifstream in(sourcePath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "listtool: cannot read %s\n", sourcePath);
        return 1;
    }
    const std::string source((std::istreambuf_iterator<char>(in)), {});
    std::string resource;
    std::string error;
    if (!ks::PackList(source, resource, error)) {
        std::fprintf(stderr, "listtool: %s: %s\n", sourcePath, error.c_str());
        return 1;
    }
    std::ofstream out(resourcePath, std::ios::binary | std::ios::trunc);
    out.write(resource.data(), static_cast<std::streamsize>(resource.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "listtool: cannot write %s\n", resourcePath);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    if (command == "pack" && argc == 4)
        return Pack(argv[2], argv[3]);
#ifdef _WIN32
    if (command == "show" && argc == 3)
        return ks::ShowLists(argv[2]);
    if (command == "set" && argc == 6)
        return ks::SetListEntry(argv[2], argv[3], argv[4], argv[5]);
#endif
    return Usage();
}

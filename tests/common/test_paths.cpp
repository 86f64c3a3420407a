#include "tests/common/test_paths.h"

#include <filesystem>
#include <random>

namespace kstest {
namespace {

std::string NativeForm(const std::string& unixPath) {
#ifdef _WIN32
    std::string out = "Z:" + unixPath;
    for (char& c : out) {
        if (c == '/')
            c = '\\';
    }
    return out;
#else
    return unixPath;
#endif
}

char Separator() {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

} // namespace

std::string SourcePath(const std::string& relative) {
    return NativeForm(std::string(KS_SOURCE_DIR) + "/" + relative);
}

std::string BinaryPath(const std::string& relative) {
    return NativeForm(std::string(KS_BINARY_DIR) + "/" + relative);
}

ScratchFolder::ScratchFolder(const std::string& name) {
    std::random_device entropy;
    path_ = BinaryPath("scratch") + Separator() + name + "-" + std::to_string(entropy());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string ScratchFolder::File(const std::string& name) const {
    return path_ + Separator() + name;
}

} // namespace kstest

// Locations of the source tree, the build tree and test data, as the running program sees them.
#pragma once
#include <string>

namespace kstest {

// A path below the source root, in the form native to the running program
// (under Wine a drive path such as "Z:\work\main\tests\data").
std::string SourcePath(const std::string& relative);
std::string BinaryPath(const std::string& relative);

// A fresh, empty folder below the build tree, removed with its content by the destructor.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const;

private:
    std::string path_;
};

} // namespace kstest

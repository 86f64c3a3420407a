// The setup log: one line per event, appended to a file in the temporary folder and kept
// below a size limit by moving the old lines to one ".old" file. Support reads it.
#pragma once
#include <cstdint>
#include <string>

namespace ks {

class SetupLog {
public:
    static constexpr long kLimit = 1L << 20;

    // An empty path logs nothing.
    explicit SetupLog(std::string path = {}) : path_(std::move(path)) {}

    // Appends the line with the local date and time in front. Never raises: a log that cannot
    // be written must not stop an installation.
    void Write(const std::string& line) const;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The URL without the password of its user information ("user:***@host").
std::string RedactUrl(const std::string& url);

} // namespace ks

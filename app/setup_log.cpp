#include "app/setup_log.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace ks {
namespace {

long FileSize(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return 0;
    long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : 0;
    std::fclose(file);
    return size;
}

// Milliseconds too: the phases of a start or an installation are timed from these lines.
std::string Timestamp() {
    using std::chrono::system_clock;
    const system_clock::time_point now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(
                            now - system_clock::from_time_t(seconds))
                            .count();
    char text[40] = {};
    if (const std::tm* local = std::localtime(&seconds)) {
        std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
        text[length++] = '.';
        for (int unit = 100; unit > 0; unit /= 10)
            text[length++] = static_cast<char>('0' + millis / unit % 10);
    }
    return text;
}

} // namespace

void SetupLog::Write(const std::string& line) const {
    if (path_.empty())
        return;
    if (FileSize(path_) >= kLimit) {
        const std::string old = path_ + ".old";
        std::remove(old.c_str());
        std::rename(path_.c_str(), old.c_str());
    }
    std::FILE* file = std::fopen(path_.c_str(), "ab");
    if (!file)
        return;
    const std::string text = Timestamp() + " " + line + "\r\n";
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

std::string RedactUrl(const std::string& url) {
    const std::size_t scheme = url.find("://");
    const std::size_t start = scheme == std::string::npos ? 0 : scheme + 3;
    const std::size_t end = std::min(url.find('/', start), url.size());
    const std::size_t at = url.rfind('@', end == 0 ? 0 : end - 1);
    if (at == std::string::npos || at < start)
        return url;
    const std::size_t colon = url.find(':', start);
    if (colon == std::string::npos || colon > at)
        return url;
    return url.substr(0, colon + 1) + "***" + url.substr(at);
}

} // namespace ks

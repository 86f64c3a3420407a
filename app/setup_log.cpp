#include "app/setup_log.h"

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

std::string Timestamp() {
    const std::time_t now = std::time(nullptr);
    char text[32] = {};
    if (const std::tm* local = std::localtime(&now))
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
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

// The loopback server of the net tests as the Windows test program sees it: its ports, its
// served folder and its request log, all below KS_NET_SERVER_DIR (a Linux path).
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kstest {

class Loopback {
public:
    static const Loopback& Get() {
        static const Loopback instance;
        return instance;
    }

    bool Ready() const { return ports_.count("http") && ports_.count("https"); }
    std::string Problem() const {
        return "no loopback server in " + folder_ +
               ": run tests/net/server_fixture.sh start DIR and set KS_NET_SERVER_DIR";
    }

    std::string Url(const std::string& path) const { return Base("http", "http") + path; }
    std::string SecureUrl(const std::string& path) const { return Base("https", "https") + path; }
    std::string WrongNameUrl(const std::string& path) const {
        return Base("https", "wrongname") + path;
    }
    // The same certificate on a port of its own, for size queries and the downloads after
    // them: the platform keeps a connection its size query opened for the download.
    std::string WrongNameHeadUrl(const std::string& path) const {
        return Base("https", "wronghead") + path;
    }
    std::string Base(const std::string& scheme, const std::string& listener) const {
        const auto found = ports_.find(listener);
        return scheme + "://127.0.0.1:" + (found == ports_.end() ? "1" : found->second) + "/";
    }

    // Windows paths below the server folder.
    std::string Path(const std::string& relative) const {
        std::string path = folder_ + "\\" + relative;
        for (char& c : path)
            c = c == '/' ? '\\' : c;
        return path;
    }

    void PutFile(const std::string& name, const std::string& bytes) const {
        std::ofstream out(Path("root\\" + name), std::ios::binary | std::ios::trunc);
        out << bytes;
    }

    // "METHOD TARGET" lines, oldest first.
    std::vector<std::string> Requests() const {
        std::ifstream in(Path("requests.log"), std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    int CountRequests(const std::string& line) const {
        int count = 0;
        for (const std::string& request : Requests())
            count += request == line;
        return count;
    }

private:
    Loopback() {
        const char* dir = std::getenv("KS_NET_SERVER_DIR");
        std::string unixDir = dir ? dir : std::string(KS_BINARY_DIR) + "/tests/net/server";
        folder_ = "Z:" + unixDir;
        for (char& c : folder_)
            c = c == '/' ? '\\' : c;
        std::ifstream in(Path("ports"));
        for (std::string name, value; in >> name >> value;)
            ports_[name] = value;
    }

    std::string folder_;
    std::map<std::string, std::string> ports_;
};

// Bytes the server generates for a /~bytes=N/ path.
inline std::string PatternBytes(std::size_t size) {
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        body[i] = static_cast<char>((i * 7 + 3) % 251);
    return body;
}

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace kstest

#define KS_REQUIRE_LOOPBACK()                                                                      \
    ASSERT_TRUE(kstest::Loopback::Get().Ready()) << kstest::Loopback::Get().Problem()

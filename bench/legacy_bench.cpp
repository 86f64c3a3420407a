// legacy_bench: decode throughput of the shrink, reduce and implode decoders.
//   legacy_bench [-n REPEAT] ARCHIVE...
// Decodes every method 1-6 member of each archive REPEAT times in memory, checks its CRC-32 and
// prints MB/s of decoded output per method (processor time, CRC-32 included).
#include "archive/legacy_decoders.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Member {
    std::string name;
    int method;
    std::uint16_t flags;
    std::uint32_t crc;
    std::uint64_t size;
    Bytes data;
};

std::uint32_t Le(const Bytes& b, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | b.at(at + static_cast<std::size_t>(i));
    return value;
}

std::vector<Member> LegacyMembers(const Bytes& zip) {
    std::vector<Member> members;
    if (zip.size() < 22)
        return members;
    std::size_t end = zip.size() - 22;
    while (end > 0 && Le(zip, end, 4) != 0x06054B50u)
        --end;
    const std::size_t entries = Le(zip, end + 10, 2);
    std::size_t at = Le(zip, end + 16, 4);
    for (std::size_t i = 0; i < entries && Le(zip, at, 4) == 0x02014B50u; ++i) {
        const std::size_t nameLength = Le(zip, at + 28, 2);
        Member m;
        m.name.assign(zip.begin() + static_cast<long>(at + 46),
                      zip.begin() + static_cast<long>(at + 46 + nameLength));
        m.flags = static_cast<std::uint16_t>(Le(zip, at + 8, 2));
        m.method = static_cast<int>(Le(zip, at + 10, 2));
        m.crc = Le(zip, at + 16, 4);
        const std::size_t compressed = Le(zip, at + 20, 4);
        m.size = Le(zip, at + 24, 4);
        const std::size_t local = Le(zip, at + 42, 4);
        const std::size_t data = local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2);
        if (m.method >= 1 && m.method <= 6) {
            m.data.assign(zip.begin() + static_cast<long>(data),
                          zip.begin() + static_cast<long>(data + compressed));
            members.push_back(std::move(m));
        }
        at += 46 + nameLength + Le(zip, at + 30, 2) + Le(zip, at + 32, 2);
    }
    return members;
}

bool DecodeOnce(const Member& m) {
    std::size_t offset = 0;
    uLong crc = crc32(0L, Z_NULL, 0);
    std::uint64_t produced = 0;
    const ks::archive::LegacyInput input = [&](std::uint8_t* buffer, std::size_t size) {
        const std::size_t n = std::min(size, m.data.size() - offset);
        std::memcpy(buffer, m.data.data() + offset, n);
        offset += n;
        return n;
    };
    const ks::archive::LegacyOutput output = [&](const std::uint8_t* data, std::size_t size) {
        crc = crc32(crc, data, static_cast<uInt>(size));
        produced += size;
    };
    const auto result = ks::archive::DecodeLegacyMember(m.method, m.flags, m.size, input, output);
    return result == ks::archive::LegacyResult::Ok && produced == m.size &&
           static_cast<std::uint32_t>(crc) == m.crc;
}

} // namespace

int main(int argc, char** argv) {
    int repeat = 200;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "-n") == 0) {
        repeat = std::max(1, std::atoi(argv[2]));
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: legacy_bench [-n REPEAT] ARCHIVE...\n");
        return 2;
    }
    struct Total {
        std::uint64_t bytes = 0;
        double seconds = 0;
    };
    std::map<int, Total> perMethod;
    int failures = 0;
    for (int a = first; a < argc; ++a) {
        std::ifstream file(argv[a], std::ios::binary);
        const Bytes zip((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        for (const Member& m : LegacyMembers(zip)) {
            // Processor time, not wall time: the machine may be busy with other work.
            const std::clock_t start = std::clock();
            bool ok = true;
            for (int r = 0; r < repeat; ++r)
                ok = DecodeOnce(m) && ok;
            const double elapsed = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
            if (!ok) {
                std::printf("FAIL %s %s\n", argv[a], m.name.c_str());
                ++failures;
            }
            Total& t = perMethod[m.method];
            t.bytes += m.size * static_cast<std::uint64_t>(repeat);
            t.seconds += elapsed;
        }
    }
    for (const auto& [method, t] : perMethod) {
        std::printf("method %d: %.1f MB in %.3f s = %.1f MB/s\n", method, t.bytes / 1e6, t.seconds,
                    t.seconds > 0 ? t.bytes / 1e6 / t.seconds : 0.0);
    }
    return failures == 0 ? 0 : 1;
}

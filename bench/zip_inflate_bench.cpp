// In-memory reference for extraction speed: zlib raw inflate plus CRC-32 over every deflated
// member of a ZIP archive, with the compressed bytes already in memory. Prints MB/s.
//   zip_inflate_bench ARCHIVE [ROUNDS]
#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::uint32_t Le(const std::string& b, std::size_t at, int width) {
    std::uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b.at(at + static_cast<std::size_t>(i)));
    return v;
}

struct Member {
    std::string compressed;
    std::uint64_t size;
    std::uint32_t crc;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: zip_inflate_bench ARCHIVE [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::stoi(argv[2]) : 3;
    std::ifstream file(argv[1], std::ios::binary);
    const std::string zip((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::size_t end = zip.size() - 22;
    while (end > 0 && Le(zip, end, 4) != 0x06054B50)
        --end;
    std::vector<Member> members;
    std::size_t at = Le(zip, end + 16, 4);
    for (std::uint32_t i = 0, n = Le(zip, end + 10, 2); i < n; ++i) {
        const std::uint32_t method = Le(zip, at + 10, 2);
        const std::uint32_t csize = Le(zip, at + 20, 4);
        const std::uint32_t local = Le(zip, at + 42, 4);
        if (method == 8) {
            const std::size_t data = local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2);
            members.push_back({zip.substr(data, csize), Le(zip, at + 24, 4), Le(zip, at + 16, 4)});
        }
        at += 46 + Le(zip, at + 28, 2) + Le(zip, at + 30, 2) + Le(zip, at + 32, 2);
    }

    std::vector<unsigned char> out(128 * 1024);
    z_stream s{};
    inflateInit2(&s, -MAX_WBITS);
    double best = 0;
    std::uint64_t total = 0;
    for (int r = 0; r < rounds; ++r) {
        total = 0;
        const auto start = std::chrono::steady_clock::now();
        for (const Member& m : members) {
            inflateReset(&s);
            s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(m.compressed.data()));
            s.avail_in = static_cast<uInt>(m.compressed.size());
            uLong crc = crc32(0, nullptr, 0);
            int result = Z_OK;
            while (result == Z_OK) {
                s.next_out = out.data();
                s.avail_out = static_cast<uInt>(out.size());
                result = inflate(&s, Z_NO_FLUSH);
                const std::size_t produced = out.size() - s.avail_out;
                crc = crc32(crc, out.data(), static_cast<uInt>(produced));
                total += produced;
            }
            if (result != Z_STREAM_END || crc != m.crc) {
                std::fprintf(stderr, "member failed to inflate\n");
                return 1;
            }
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        best = std::max(best, static_cast<double>(total) / 1e6 / seconds);
    }
    inflateEnd(&s);
    std::printf("%.1f\n", best);
    return 0;
}

// SHA-256 speed of the system's CNG provider on this machine, the bound below which no hashed
// download can go, and the same bytes through the download's hashing worker.
//   sha256_bench MB MODE
//   MODE: cng (Sha256 on this thread, 256 KB blocks), background (BackgroundSha256 fed in the
//         64 KB reads of a download, until its digest is out)
// Prints "MODE bytes seconds MB/s cpu-seconds MB/cpu-second digest": the processor time of
// all threads as well, which a busy machine changes far less than the wall time.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/process_cpu_win.h"
#include "net/block_pump.h"
#include "sys/background_sha256_win.h"
#include "sys/sha256_win.h"

namespace {

constexpr std::size_t kCngBlock = 256 * 1024;

double Now() {
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Hasher>
void Feed(Hasher& hash, const std::vector<char>& bytes, std::size_t piece) {
    for (std::size_t done = 0; done < bytes.size(); done += piece)
        hash.Update(bytes.data() + done, std::min(piece, bytes.size() - done));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: sha256_bench MB cng|background\n");
        return 2;
    }
    const std::string mode = argv[2];
    // Bytes of a whole package, not one block again and again: the processor's caches hold
    // a download's bytes no better.
    std::vector<char> bytes(static_cast<std::size_t>(std::atoi(argv[1])) * 1000 * 1000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 7 + 3) % 251);

    ks::Sha256Digest digest{};
    const double start = Now();
    const double cpuStart = ProcessCpuSeconds();
    if (mode == "cng") {
        ks::Sha256 hash;
        Feed(hash, bytes, kCngBlock);
        digest = hash.Finish();
    } else if (mode == "background") {
        ks::BackgroundSha256 hash;
        Feed(hash, bytes, ks::kTransferReadSize);
        digest = hash.Finish();
    } else {
        std::fprintf(stderr, "sha256_bench: unknown mode %s\n", mode.c_str());
        return 2;
    }
    const double seconds = Now() - start;
    const double cpu = ProcessCpuSeconds() - cpuStart;
    const double mb = static_cast<double>(bytes.size()) / 1e6;
    // The digest is used, so no part of the work can be left out.
    std::printf("%s %zu %.4f %.1f %.4f %.1f %s\n", mode.c_str(), bytes.size(), seconds,
                mb / seconds, cpu, cpu > 0 ? mb / cpu : 0.0, ks::Sha256Hex(digest).c_str());
    return 0;
}

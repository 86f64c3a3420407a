// Download speed over loopback: DownloadToFile with a progress handler that repaints a gauge
// the way the main window does, against bare WinInet loops with 64 KB and 1 KB reads.
//   net_download_bench URL TARGET_FILE SIZE MODE
//   MODE: ks (gauge repainted when its percent changes), ks-every (repainted on every call),
//         ks-silent (empty progress handler), ks-resumable (as ks, through a partial file
//         that could be resumed), ks-hashed (as ks-resumable, hashed on the side as the setup
//         hashes a package the catalogue pins), bare64k, bare1k
// Prints "MODE bytes seconds MB/s", then for the resumable modes "cpu=SECONDS" of all threads.
#include <windows.h>

#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "bench/process_cpu_win.h"
#include "net/internet_handle_win.h"
#include "net/net_utils.h"
#include "sys/background_sha256_win.h"
#include "sys/unique_handle_win.h"

namespace {

constexpr int kGaugeWidth = 369;
constexpr int kGaugeHeight = 24;

// A visible stand-in for the main window's gauge: repainted only when its percent changes.
class Gauge {
public:
    Gauge() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KsBenchGauge";
        RegisterClassA(&windowClass);
        window_ =
            CreateWindowExA(0, "KsBenchGauge", "gauge", WS_POPUP | WS_VISIBLE, 0, 0, kGaugeWidth,
                            kGaugeHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~Gauge() {
        if (window_)
            DestroyWindow(window_);
    }
    Gauge(const Gauge&) = delete;
    Gauge& operator=(const Gauge&) = delete;

    // A handler that repaints on every call, whether or not the reading changed.
    void RepaintAlways() {
        ++repaints_;
        Paint();
    }

    void Progress(std::int32_t total, std::int32_t current) {
        int percent = 0;
        if (total > 0)
            percent = static_cast<int>(static_cast<long long>(current) * 100 / total);
        else
            percent = current % 101;
        if (percent == shown_)
            return;
        shown_ = percent;
        ++repaints_;
        Paint();
    }
    int Repaints() const { return repaints_; }

private:
    void Paint() {
        if (!window_)
            return;
        ks::WindowDC dc(window_);
        ks::UniqueMemoryDC memory(CreateCompatibleDC(dc.Get()));
        ks::UniqueBitmap bitmap(CreateCompatibleBitmap(dc.Get(), kGaugeWidth, kGaugeHeight));
        ks::SelectGuard select(memory.Get(), bitmap.Get());
        const int filled = kGaugeWidth * shown_ / 100;
        RECT done = {0, 0, filled, kGaugeHeight};
        RECT rest = {filled, 0, kGaugeWidth, kGaugeHeight};
        ks::UniqueBrush doneBrush(CreateSolidBrush(RGB(40, 120, 200)));
        ks::UniqueBrush restBrush(CreateSolidBrush(RGB(230, 230, 230)));
        FillRect(memory.Get(), &done, doneBrush.Get());
        FillRect(memory.Get(), &rest, restBrush.Get());
        BitBlt(dc.Get(), 0, 0, kGaugeWidth, kGaugeHeight, memory.Get(), 0, 0, SRCCOPY);
    }

    HWND window_ = nullptr;
    int shown_ = -1;
    int repaints_ = 0;
};

bool BareLoop(const std::string& url, const std::string& target, DWORD readSize, long long& bytes) {
    const ks::UniqueInternetHandle root(
        InternetOpenA("Mozilla/5.0", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    const ks::UniqueInternetHandle request(
        InternetOpenUrlA(root.Get(), url.c_str(), nullptr, 0, 0, 0));
    ks::UniqueFileHandle file(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!request || !file)
        return false;
    std::vector<char> buffer(readSize);
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request.Get(), buffer.data(), readSize, &read))
            return false;
        if (read == 0)
            return true;
        DWORD written = 0;
        WriteFile(file.Get(), buffer.data(), read, &written, nullptr);
        bytes += read;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: net_download_bench URL TARGET SIZE ks|bare64k|bare1k\n");
        return 2;
    }
    const std::string url = argv[1];
    const std::string target = argv[2];
    const std::int32_t size = std::atoi(argv[3]);
    const std::string mode = argv[4];

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    long long bytes = 0;
    bool ok = false;
    // The window exists before the download and outlives it, as the main window does (and
    // destroying a visible window takes Wine a while that is no part of the transfer).
    Gauge gauge;
    QueryPerformanceCounter(&start);
    const double cpuStart = ProcessCpuSeconds();
    if (mode == "ks") {
        ok = ks::DownloadToFile(url, target, size, [&](std::int32_t total, std::int32_t current) {
            gauge.Progress(total, current);
        });
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &data))
            bytes = (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    } else if (mode == "ks-every") {
        ok = ks::DownloadToFile(url, target, size,
                                [&](std::int32_t, std::int32_t) { gauge.RepaintAlways(); });
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &data))
            bytes = (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    } else if (mode == "ks-silent") {
        ok = ks::DownloadToFile(url, target, size, [](std::int32_t, std::int32_t) {});
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &data))
            bytes = (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    } else if (mode == "ks-resumable" || mode == "ks-hashed") {
        ks::ResumableTransfer transfer;
        transfer.partFile = target + ".part";
        std::optional<ks::BackgroundSha256> hash;
        if (mode == "ks-hashed") {
            hash.emplace();
            transfer.onRestart = [&hash] { hash.emplace(); };
            transfer.onData = [&hash](const char* data, std::size_t size) {
                hash->Update(data, size);
            };
        }
        ok = ks::DownloadResumable(
            url, target, size,
            [&](std::int32_t total, std::int32_t current) { gauge.Progress(total, current); },
            transfer);
        if (ok && hash)
            std::fprintf(stderr, "sha256 %s\n", ks::Sha256Hex(hash->Finish()).c_str());
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (GetFileAttributesExA(target.c_str(), GetFileExInfoStandard, &data))
            bytes = (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    } else if (mode == "bare64k") {
        ok = BareLoop(url, target, 64 * 1024, bytes);
    } else if (mode == "bare1k") {
        ok = BareLoop(url, target, 1024, bytes);
    }
    QueryPerformanceCounter(&end);
    const double cpu = ProcessCpuSeconds() - cpuStart;
    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) /
                           static_cast<double>(frequency.QuadPart);
    if (!ok || bytes != size) {
        std::fprintf(stderr, "%s: download failed (%lld of %d bytes)\n", mode.c_str(), bytes,
                     static_cast<int>(size));
        return 1;
    }
    std::printf("%s %lld %.3f %.1f", mode.c_str(), bytes, seconds,
                static_cast<double>(bytes) / 1e6 / seconds);
    if (mode == "ks" || mode == "ks-every" || mode == "ks-resumable" || mode == "ks-hashed")
        std::printf(" repaints=%d", gauge.Repaints());
    if (mode == "ks-resumable" || mode == "ks-hashed")
        std::printf(" cpu=%.3f", cpu);
    std::printf("\n");
    return 0;
}

// What the setup window shows on screen at start and during a download. The captures are
// kept as bitmaps in the build tree (bin/screenshots) for the documentation.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <vector>

#include "sys/files.h"
#include "sys/unique_handle_win.h"
#include "tests/app/install_form_fixture_win.h"
#include "tests/common/test_paths.h"

namespace kstest {
namespace {

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, top row first

    int Red(int x, int y) const { return (pixels[y * width + x] >> 16) & 0xFF; }
    int Green(int x, int y) const { return (pixels[y * width + x] >> 8) & 0xFF; }
    int Blue(int x, int y) const { return pixels[y * width + x] & 0xFF; }
};

void PumpMessages() {
    MSG message;
    for (int round = 0; round < 5; ++round) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(20);
    }
}

// The window as it stands on the screen, brought to the top first.
Capture CaptureWindow(HWND window) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
    GdiFlush();
    RECT frame;
    GetWindowRect(window, &frame);
    Capture capture;
    capture.width = frame.right - frame.left;
    capture.height = frame.bottom - frame.top;
    capture.pixels.resize(static_cast<std::size_t>(capture.width) * capture.height);

    ks::WindowDC screen(nullptr);
    ks::UniqueMemoryDC memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ks::UniqueBitmap bitmap(
        CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        ks::SelectGuard select(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, capture.width, capture.height, screen.Get(), frame.left,
               frame.top, SRCCOPY);
        GdiFlush();
    }
    const auto* source = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < capture.pixels.size(); ++i)
        capture.pixels[i] = source[i] & 0x00FFFFFF;
    return capture;
}

void SaveBitmap(const Capture& capture, const std::string& path) {
    const int rowBytes = (capture.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = capture.width;
    header.biHeight = capture.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = static_cast<DWORD>(rowBytes * capture.height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    std::vector<char> row(rowBytes, 0);
    for (int y = capture.height - 1; y >= 0; --y) {
        for (int x = 0; x < capture.width; ++x) {
            row[x * 3] = static_cast<char>(capture.Blue(x, y));
            row[x * 3 + 1] = static_cast<char>(capture.Green(x, y));
            row[x * 3 + 2] = static_cast<char>(capture.Red(x, y));
        }
        out.write(row.data(), rowBytes);
    }
}

std::string ScreenshotPath(const std::string& name) {
    const std::string folder = BinaryPath("bin\\screenshots");
    ks::ForceFolders(folder);
    return folder + "\\" + name;
}

using WindowPaintTest = InstallFormTest;

TEST_F(WindowPaintTest, StartStateShowsTheBackgroundFieldsAndAGreyGauge) {
    Form().cbUserChange(nullptr);
    Form().SetVisible(true);
    const Capture shot = CaptureWindow(Form().Handle());
    SaveBitmap(shot, ScreenshotPath("main-start.bmp"));
    ASSERT_EQ(shot.width, 595);
    ASSERT_EQ(shot.height, 360);
    // The picture's top band is a deep blue.
    EXPECT_GT(shot.Blue(300, 20), shot.Red(300, 20) + 40);
    // Inside the gauge's frame: the idle grey.
    EXPECT_NEAR(shot.Red(200, 290), 160, 8);
    EXPECT_NEAR(shot.Blue(200, 290), 164, 8);
    // The data-folder icon shows the tick's green.
    bool green = false;
    for (int y = 208; y < 229 && !green; ++y) {
        for (int x = 32; x < 53 && !green; ++x)
            green = shot.Green(x, y) > shot.Red(x, y) + 60 && shot.Green(x, y) > 120;
    }
    EXPECT_TRUE(green);
}

TEST_F(WindowPaintTest, DuringADownloadTheGaugeFillsWithNavyFromTheLeft) {
    Form().cbUserChange(nullptr);
    Form().SetVisible(true);
    Form().chTerms.SetChecked(true);
    Form().SetControlsEnabled(false);
    Form().ShowTask("Downloading package...");
    Form().ShowTransferProgress(1000, 450);
    const Capture shot = CaptureWindow(Form().Handle());
    SaveBitmap(shot, ScreenshotPath("main-progress.bmp"));
    ASSERT_EQ(shot.width, 595);
    // Gauge at 32,272 (369 x 24): 45 % of the inner width is navy, the rest white.
    const int y = 272 + 4;
    EXPECT_EQ(shot.Red(32 + 20, y), 0);
    EXPECT_EQ(shot.Blue(32 + 20, y), 128);
    EXPECT_EQ(shot.Red(32 + 300, y), 255);
    EXPECT_EQ(shot.Blue(32 + 300, y), 255);
}

} // namespace
} // namespace kstest

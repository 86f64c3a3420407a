// Pictures read from and written to files: tools and tests only, kept apart so the program
// does not carry them.
#include <wincodec.h>

#include <vector>

#include "skin/picture_com_win.h"
#include "skin/picture_win.h"
#include "sys/unique_handle_win.h"

namespace ks {

TPicture LoadPictureFile(const std::string& path) {
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw Error("Picture could not be read: " + path);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > 64 << 20)
        throw Error("Picture could not be read: " + path);
    std::vector<char> data(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &read, nullptr) ||
        read != data.size())
        throw Error("Picture could not be read: " + path);
    return DecodePicture(data.data(), data.size());
}

void SavePicturePng(const TPicture& picture, const std::string& path) {
    if (picture.Empty())
        throw Error("Picture could not be written: empty");
    ComScope com;
    ComPtr<IWICImagingFactory> factory = CreateImagingFactory();
    ComPtr<IWICStream> stream;
    CheckPicture(factory.Get()->CreateStream(stream.Put()), "stream");
    // Not std::wstring: its library instantiation would add some 40 KB to the program.
    std::vector<wchar_t> widePath(path.size() + 1);
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath.data(),
                                           static_cast<int>(widePath.size()));
    if (length <= 0)
        throw Error("Picture could not be written: " + path);
    CheckPicture(stream.Get()->InitializeFromFilename(widePath.data(), GENERIC_WRITE), "file");
    ComPtr<IWICBitmapEncoder> encoder;
    CheckPicture(factory.Get()->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Put()),
                 "png");
    CheckPicture(encoder.Get()->Initialize(stream.Get(), WICBitmapEncoderNoCache), "png");
    ComPtr<IWICBitmapFrameEncode> frame;
    CheckPicture(encoder.Get()->CreateNewFrame(frame.Put(), nullptr), "frame");
    CheckPicture(frame.Get()->Initialize(nullptr), "frame");
    CheckPicture(
        frame.Get()->SetSize(static_cast<UINT>(picture.width), static_cast<UINT>(picture.height)),
        "size");
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    CheckPicture(frame.Get()->SetPixelFormat(&format), "format");
    std::vector<TPixel> pixels = picture.pixels;
    if (!picture.hasAlpha)
        for (TPixel& pixel : pixels)
            pixel |= 0xFF000000u;
    CheckPicture(frame.Get()->WritePixels(
                     static_cast<UINT>(picture.height), static_cast<UINT>(picture.width * 4),
                     static_cast<UINT>(pixels.size() * 4), reinterpret_cast<BYTE*>(pixels.data())),
                 "pixels");
    CheckPicture(frame.Get()->Commit(), "commit");
    CheckPicture(encoder.Get()->Commit(), "commit");
}

} // namespace ks

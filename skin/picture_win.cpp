#include "skin/picture_win.h"

#include <wincodec.h>

#include <vector>

#include "skin/paint_win.h"
#include "sys/errors.h"
#include "sys/unique_handle_win.h"

namespace ks {
namespace {

template <typename T> struct ComTraits {
    using Handle = T*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle object) { object->Release(); }
};
template <typename T> using ComPtr = UniqueHandle<ComTraits<T>>;

// COM for the calling thread, for as long as the scope lasts.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

// Larger pictures than this are refused rather than allocated.
constexpr UINT kMaxPicturePixels = 16u * 1024u * 1024u;

void Check(HRESULT result, const char* what) {
    if (FAILED(result))
        throw Error(std::string("Picture could not be read: ") + what);
}

bool AnyTranslucent(const std::vector<TPixel>& pixels) {
    for (TPixel pixel : pixels)
        if ((pixel >> 24) != 0xFF)
            return true;
    return false;
}

BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

TPixel Premultiplied(TPixel pixel) {
    const unsigned alpha = pixel >> 24;
    const auto scale = [alpha](unsigned channel) { return (channel * alpha + 127) / 255; };
    return (alpha << 24) | (scale((pixel >> 16) & 0xFF) << 16) | (scale((pixel >> 8) & 0xFF) << 8) |
           scale(pixel & 0xFF);
}

} // namespace

TPicture DecodePicture(const void* data, std::size_t size) {
    if (!data || size == 0 || size > 0x7FFFFFFF)
        throw Error("Picture could not be read: no data");
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                           IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Put())),
          "no imaging component");
    ComPtr<IWICStream> stream;
    Check(factory.Get()->CreateStream(stream.Put()), "stream");
    Check(stream.Get()->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)),
                                             static_cast<DWORD>(size)),
          "stream");
    ComPtr<IWICBitmapDecoder> decoder;
    Check(factory.Get()->CreateDecoderFromStream(stream.Get(), nullptr,
                                                 WICDecodeMetadataCacheOnDemand, decoder.Put()),
          "unknown format");
    ComPtr<IWICBitmapFrameDecode> frame;
    Check(decoder.Get()->GetFrame(0, frame.Put()), "no image");
    ComPtr<IWICFormatConverter> converter;
    Check(factory.Get()->CreateFormatConverter(converter.Put()), "converter");
    Check(converter.Get()->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                      WICBitmapDitherTypeNone, nullptr, 0.0,
                                      WICBitmapPaletteTypeCustom),
          "pixel format");
    UINT width = 0;
    UINT height = 0;
    Check(converter.Get()->GetSize(&width, &height), "size");
    if (width == 0 || height == 0 || width > kMaxPicturePixels / height)
        throw Error("Picture could not be read: bad size");
    TPicture picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.resize(static_cast<std::size_t>(width) * height);
    Check(converter.Get()->CopyPixels(nullptr, width * 4,
                                      static_cast<UINT>(picture.pixels.size() * 4),
                                      reinterpret_cast<BYTE*>(picture.pixels.data())),
          "pixels");
    picture.hasAlpha = AnyTranslucent(picture.pixels);
    return picture;
}

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

TPicture LoadPictureResource(const std::string& name, HMODULE module) {
    if (!module)
        module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL handle = info ? LoadResource(module, info) : nullptr;
    const void* data = handle ? LockResource(handle) : nullptr;
    if (!data)
        throw Error("Resource " + name + " not found");
    return DecodePicture(data, SizeofResource(module, info));
}

TPicture LoadBitmapResource(const std::string& name, HMODULE module) {
    if (!module)
        module = GetModuleHandleA(nullptr);
    UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageA(module, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP header = {};
    if (!bitmap || !GetObjectA(bitmap.Get(), sizeof(header), &header) || header.bmWidth <= 0 ||
        header.bmHeight <= 0)
        throw Error("Resource " + name + " not found");
    TPicture picture;
    picture.width = header.bmWidth;
    picture.height = header.bmHeight;
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
    BITMAPINFO info = TopDownInfo(picture.width, picture.height);
    WindowDC screen(nullptr);
    if (GetDIBits(screen.Get(), bitmap.Get(), 0, static_cast<UINT>(picture.height),
                  picture.pixels.data(), &info, DIB_RGB_COLORS) == 0)
        throw Error("Resource " + name + " not found");
    for (TPixel& pixel : picture.pixels)
        pixel |= 0xFF000000u;
    return picture;
}

void DrawPicture(HDC dc, int x, int y, const TPicture& picture) {
    if (picture.Empty())
        return;
    TOffscreen image(dc, picture.width, picture.height);
    if (!image)
        return;
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
        image.Pixels()[i] =
            picture.hasAlpha ? Premultiplied(picture.pixels[i]) : (picture.pixels[i] | 0xFF000000u);
    GdiFlush();
    if (!picture.hasAlpha) {
        BitBlt(dc, x, y, picture.width, picture.height, image.Dc(), 0, 0, SRCCOPY);
        return;
    }
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // GDI's own entry, rather than the image library's that forwards to it: one DLL fewer to
    // load at start.
    GdiAlphaBlend(dc, x, y, picture.width, picture.height, image.Dc(), 0, 0, picture.width,
                  picture.height, blend);
}

void StretchPixels(HDC dc, const RECT& target, int width, int height, const TPixel* pixels) {
    if (width <= 0 || height <= 0 || !pixels)
        return;
    BITMAPINFO info = TopDownInfo(width, height);
    const int previous = SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, target.left, target.top, target.right - target.left,
                  target.bottom - target.top, 0, 0, width, height, pixels, &info, DIB_RGB_COLORS,
                  SRCCOPY);
    SetStretchBltMode(dc, previous);
}

void StretchPicture(HDC dc, const RECT& target, const TPicture& picture) {
    StretchPixels(dc, target, picture.width, picture.height, picture.pixels.data());
}

void SavePicturePng(const TPicture& picture, const std::string& path) {
    if (picture.Empty())
        throw Error("Picture could not be written: empty");
    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                           IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Put())),
          "no imaging component");
    ComPtr<IWICStream> stream;
    Check(factory.Get()->CreateStream(stream.Put()), "stream");
    // Not std::wstring: its library instantiation would add some 40 KB to the program.
    std::vector<wchar_t> widePath(path.size() + 1);
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath.data(),
                                           static_cast<int>(widePath.size()));
    if (length <= 0)
        throw Error("Picture could not be written: " + path);
    Check(stream.Get()->InitializeFromFilename(widePath.data(), GENERIC_WRITE), "file");
    ComPtr<IWICBitmapEncoder> encoder;
    Check(factory.Get()->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Put()), "png");
    Check(encoder.Get()->Initialize(stream.Get(), WICBitmapEncoderNoCache), "png");
    ComPtr<IWICBitmapFrameEncode> frame;
    Check(encoder.Get()->CreateNewFrame(frame.Put(), nullptr), "frame");
    Check(frame.Get()->Initialize(nullptr), "frame");
    Check(frame.Get()->SetSize(static_cast<UINT>(picture.width), static_cast<UINT>(picture.height)),
          "size");
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    Check(frame.Get()->SetPixelFormat(&format), "format");
    std::vector<TPixel> pixels = picture.pixels;
    if (!picture.hasAlpha)
        for (TPixel& pixel : pixels)
            pixel |= 0xFF000000u;
    Check(frame.Get()->WritePixels(
              static_cast<UINT>(picture.height), static_cast<UINT>(picture.width * 4),
              static_cast<UINT>(pixels.size() * 4), reinterpret_cast<BYTE*>(pixels.data())),
          "pixels");
    Check(frame.Get()->Commit(), "commit");
    Check(encoder.Get()->Commit(), "commit");
}

} // namespace ks
